#include "msiquery/patch_queries.h"
#include "msiquery/patch_summary.h"

#include "os/sim/machine.h"
#include "support/trace_file.h"

#include <gtest/gtest.h>

namespace {

using test::CrLfLines;
using test::TraceOf;

constexpr char kPatch[] = "C:\\Setup\\MSP\\QernoE6_E_1234.msp";
constexpr char kProduct[] = "{12345678-ABCD-EF01-2345-6789ABCDEF01}";
constexpr char kPatchCode[] = "{AAAAAAAA-1111-2222-3333-444444444444}";
constexpr char kPackage[] = "C:\\Setup\\QernoE6.msi";

sim::MsiPackage Patch(const std::string& buildVersion = "6.0.1234") {
    sim::MsiPackage patch;
    patch.isPatch = true;
    patch.hasPropertyTable = false;
    patch.hasPatchMetadataTable = true;
    patch.patchMetadata = {{"", "Other", "x"}, {"", "DBuildVersion", buildVersion}};
    patch.summary[PID_TITLE] = sim::SummaryValue::Text("QernoE6 E Build 1234");
    patch.summary[PID_TEMPLATE] = sim::SummaryValue::Text(kProduct);
    patch.summary[PID_LASTAUTHOR] = sim::SummaryValue::Text(":T;:#T");
    patch.summary[PID_REVNUMBER] = sim::SummaryValue::Text(kPatchCode);
    patch.summary[PID_WORDCOUNT] = sim::SummaryValue::Integer(3);
    patch.summary[12] = sim::SummaryValue::Time(0x01D0000000000000);
    return patch;
}

class PatchQueriesTest : public ::testing::Test {
protected:
    void SetUp() override { machine.WritePackage(kPatch, Patch()); }
    void TearDown() override { EXPECT_EQ(machine.Msi().OpenHandles(), 0u); }

    sim::Machine machine;
};

TEST_F(PatchQueriesTest, SummaryOfAPatch) {
    std::vector<tagSummaryValue> values{{"stale", 0, 0, 0, 0, ""}};
    ASSERT_TRUE(GetMspSummaryInformation(values, kPatch, true));
    // Every property of the table is read; unset ones come back empty.
    ASSERT_EQ(values.size(), 17u);
    EXPECT_EQ(values[1].strName, "Title");
    EXPECT_EQ(values[1].uDataType, VT_LPSTR);
    EXPECT_EQ(values[1].strValue, "QernoE6 E Build 1234");
    EXPECT_EQ(values[6].strName, "Target");
    EXPECT_EQ(values[6].nPropertyId, 7);
    EXPECT_EQ(values[8].strName, "Patch Code");
    EXPECT_EQ(values[8].strValue, kPatchCode);
    EXPECT_EQ(values[10].strName, "Create Time/Date");
    EXPECT_EQ(values[10].uDataType, VT_FILETIME);
    EXPECT_EQ(values[10].llFileTime, 0x01D0000000000000);
    EXPECT_EQ(values[13].strName, "Word Count");
    EXPECT_EQ(values[13].nValue, 3);
    EXPECT_EQ(values[16].strName, "Security");
    EXPECT_EQ(values[16].uDataType, VT_EMPTY);
}

TEST_F(PatchQueriesTest, SummaryOfAPackageUsesItsOwnNames) {
    sim::MsiPackage package;
    package.summary[PID_TEMPLATE] = sim::SummaryValue::Text("Intel;1041");
    package.summary[PID_REVNUMBER] =
        sim::SummaryValue::Text("{BBBBBBBB-1111-2222-3333-444444444444}");
    machine.WritePackage(kPackage, package);
    std::vector<tagSummaryValue> values;
    ASSERT_TRUE(GetMspSummaryInformation(values, kPackage, false));
    EXPECT_EQ(values[6].strName, "Template");
    EXPECT_EQ(values[6].strValue, "Intel;1041");
    EXPECT_EQ(values[8].strName, "Revision Number");
    // The package form reads the file directly, so it reads a patch file too.
    EXPECT_TRUE(GetMspSummaryInformation(values, kPatch, false));
    // A failed read leaves what the caller had.
    EXPECT_FALSE(GetMspSummaryInformation(values, kPackage, true));
    EXPECT_EQ(values.size(), 17u);
}

TEST_F(PatchQueriesTest, SummaryOfAMissingFile) {
    std::vector<tagSummaryValue> values{{"stale", 0, 0, 0, 0, ""}};
    EXPECT_EQ(
        TraceOf(machine,
                [&] { EXPECT_FALSE(GetMspSummaryInformation(values, "C:\\none.msi", false)); }),
        CrLfLines({"    GetMspSummaryInformation-Start", "        File:C:\\none.msi",
                   "        MsiGetSummaryInformation Err：ErrCode = 2,ErrMsg = The system "
                   "cannot find the file specified.",
                   "    GetMspSummaryInformation-End"}));
    EXPECT_EQ(values.size(), 1u);
}

TEST_F(PatchQueriesTest, TargetPatchCodeAndTitleWithTheirTrace) {
    std::string target;
    std::string code;
    std::string title;
    const std::string trace =
        TraceOf(machine, [&] { EXPECT_TRUE(GetMspTargetID(kPatch, &target, &code, &title)); });
    EXPECT_EQ(target, kProduct);
    EXPECT_EQ(code, kPatchCode);
    EXPECT_EQ(title, "QernoE6 E Build 1234");
    const std::string expectedStart = CrLfLines(
        {"    GetMspTargetID-Start", "        GetMspSummaryInformation-Start",
         std::string("            File:") + kPatch, "            MsiSummaryInfoGetProperty OK",
         "                Codepage", "                Code=1",
         "            MsiSummaryInfoGetProperty OK", "                Title",
         "                Code=2", "                QernoE6 E Build 1234"});
    EXPECT_EQ(trace.substr(0, expectedStart.size()), expectedStart);
    const std::string expectedEnd = CrLfLines(
        {"            MsiSummaryInfoGetProperty OK", "                Security",
         "                Code=19", "        GetMspSummaryInformation-End",
         "        Title     :QernoE6 E Build 1234", std::string("        MSPGUID   :") + kPatchCode,
         std::string("        TargetGUID:") + kProduct, "    GetMspTargetID-End"});
    EXPECT_EQ(trace.substr(trace.size() - expectedEnd.size()), expectedEnd);
    // Outputs that are not asked for are simply not written.
    EXPECT_TRUE(GetMspTargetID(kPatch, nullptr, &code, nullptr));
}

TEST_F(PatchQueriesTest, ATextLongerThanTheFirstBufferIsReadWhole) {
    // A patch for many products: 14 codes and their separators are 545 characters.
    for (const std::size_t size : {511u, 512u, 545u, 4096u}) {
        SCOPED_TRACE(size);
        sim::MsiPackage patch = Patch();
        const std::string longTarget = std::string(size - 1, 'T') + "Z";
        patch.summary[PID_TEMPLATE] = sim::SummaryValue::Text(longTarget);
        machine.WritePackage(kPatch, patch);
        std::string target;
        const std::string trace = TraceOf(
            machine, [&] { EXPECT_TRUE(GetMspTargetID(kPatch, &target, nullptr, nullptr)); });
        EXPECT_EQ(target, longTarget);
        EXPECT_EQ(trace.find("Err"), std::string::npos) << trace;
    }
}

TEST_F(PatchQueriesTest, NoTargetOrPatchCodeOrOfAnotherType) {
    sim::MsiPackage patch = Patch();
    patch.summary.erase(PID_TEMPLATE);
    machine.WritePackage("C:\\a.msp", patch);
    EXPECT_FALSE(GetMspTargetID("C:\\a.msp", nullptr, nullptr, nullptr));
    patch = Patch();
    patch.summary[PID_REVNUMBER] = sim::SummaryValue::Integer(9);
    machine.WritePackage("C:\\b.msp", patch);
    EXPECT_FALSE(GetMspTargetID("C:\\b.msp", nullptr, nullptr, nullptr));
}

TEST_F(PatchQueriesTest, AFileRefusedAsAPatchFailsBothReads) {
    sim::MsiPackage package;
    machine.WritePackage(kPackage, package);
    std::string target = "untouched";
    std::string version = "untouched";
    DWORD packed = 7;
    SetLastError(0);
    std::string trace = TraceOf(
        machine, [&] { EXPECT_FALSE(GetMspTargetID(kPackage, &target, nullptr, nullptr)); });
    EXPECT_EQ(trace,
              CrLfLines({"    GetMspTargetID-Start", "        GetMspSummaryInformation-Start",
                         std::string("            File:") + kPackage,
                         "            MsiOpenDatabase Err：ErrCode = 0,ErrMsg = The operation "
                         "completed successfully.",
                         "        GetMspSummaryInformation-End", "    GetMspTargetID-End"}));
    trace = TraceOf(machine, [&] { EXPECT_FALSE(GetMspBuildVersion(kPackage, version, packed)); });
    EXPECT_EQ(trace, CrLfLines({"    GetMspBuildVersion-Start",
                                "        MsiOpenDatabase Err：ErrCode = 0,ErrMsg = The "
                                "operation completed successfully.",
                                "    GetMspBuildVersion-End"}));
    EXPECT_EQ(target, "untouched");
    EXPECT_EQ(version, "untouched");
    EXPECT_EQ(packed, 7u);
}

TEST_F(PatchQueriesTest, BuildVersionAndItsTrace) {
    std::string version;
    DWORD packed = 0;
    const std::string trace =
        TraceOf(machine, [&] { EXPECT_TRUE(GetMspBuildVersion(kPatch, version, packed)); });
    EXPECT_EQ(version, "6.0.1234");
    EXPECT_EQ(packed, 0x060004D2u);
    EXPECT_EQ(trace, CrLfLines({"    GetMspBuildVersion-Start", "        GetRecordString-Start",
                                "            Value:DBuildVersion", "        GetRecordString-End",
                                "        GetRecordString-Start", "            Value:6.0.1234",
                                "        GetRecordString-End", "        GetMSIVersion-Start",
                                "            Version:6.0.1234", "            GetMSIVersion-Start",
                                "                Code=6", "                Code=0",
                                "                Code=1234", "                Code=100664530",
                                "            GetMSIVersion-End", "        GetMSIVersion-End",
                                "        BuildVer  :6.0.1234", "        BuildVerDW:100664530",
                                "    GetMspBuildVersion-End"}));
}

TEST_F(PatchQueriesTest, BuildVersionRowsThatDoNotCount) {
    std::string version = "untouched";
    DWORD packed = 7;
    sim::MsiPackage patch = Patch();
    patch.patchMetadata = {{"", "DBuildVersion", ""}};
    machine.WritePackage("C:\\empty.msp", patch);
    EXPECT_FALSE(GetMspBuildVersion("C:\\empty.msp", version, packed));
    patch.patchMetadata = {};
    machine.WritePackage("C:\\none.msp", patch);
    EXPECT_FALSE(GetMspBuildVersion("C:\\none.msp", version, packed));
    patch.hasPatchMetadataTable = false;
    machine.WritePackage("C:\\notable.msp", patch);
    const std::string trace = TraceOf(
        machine, [&] { EXPECT_FALSE(GetMspBuildVersion("C:\\notable.msp", version, packed)); });
    EXPECT_NE(trace.find("        MsiDatabaseOpenView Err："), std::string::npos) << trace;
    EXPECT_EQ(version, "untouched");
    EXPECT_EQ(packed, 7u);
    // Two numbers only: found, but the packed version is 0.
    machine.WritePackage("C:\\two.msp", Patch("6.0"));
    EXPECT_NE(
        TraceOf(machine, [&] { EXPECT_TRUE(GetMspBuildVersion("C:\\two.msp", version, packed)); })
            .find("        BuildVerDW:0\r\n"),
        std::string::npos);
    EXPECT_EQ(version, "6.0");
    EXPECT_EQ(packed, 0u);
}

class AppliedPatchesTest : public PatchQueriesTest {
protected:
    void SetUp() override {
        PatchQueriesTest::SetUp();
        machine.Msi().InstallProduct(kProduct, {{"LocalPackage", kPackage}});
    }
};

TEST_F(AppliedPatchesTest, NoAppliedPatchesLeaveTheListAlone) {
    std::vector<std::string> codes{"kept"};
    EXPECT_EQ(TraceOf(machine, [&] { EXPECT_TRUE(GetPatchPackageCode(kProduct, codes)); }),
              CrLfLines({"    GetPatchPackageCode-Start", "    GetPatchPackageCode-End"}));
    EXPECT_EQ(codes, std::vector<std::string>{"kept"});
    EXPECT_TRUE(GetPatchPackageCode("{00000000-0000-0000-0000-000000000000}", codes));
    EXPECT_EQ(codes, std::vector<std::string>{"kept"});
}

TEST_F(AppliedPatchesTest, APatchWithTransformsTooLongToListStillCountsAndSoDoThoseAfterIt) {
    machine.Msi().ApplyPatch(kProduct, {kPatchCode, ":T;:#T", "C:\\Windows\\Installer\\a.msp"});
    machine.Msi().ApplyPatch(kProduct, {"{CCCCCCCC-1111-2222-3333-444444444444}",
                                        std::string(256, 'T'), "C:\\Windows\\Installer\\b.msp"});
    machine.Msi().ApplyPatch(kProduct, {"{DDDDDDDD-1111-2222-3333-444444444444}", ":T",
                                        "C:\\Windows\\Installer\\c.msp"});
    std::vector<std::string> codes;
    EXPECT_EQ(
        TraceOf(machine, [&] { EXPECT_TRUE(GetPatchPackageCode(kProduct, codes)); }),
        CrLfLines({"    GetPatchPackageCode-Start", std::string("        PatchCode:") + kPatchCode,
                   "        PatchCode:{CCCCCCCC-1111-2222-3333-444444444444}",
                   "        PatchCode:{DDDDDDDD-1111-2222-3333-444444444444}",
                   "    GetPatchPackageCode-End"}));
    EXPECT_EQ(codes.size(), 3u);
}

TEST_F(AppliedPatchesTest, BuildOfAnAppliedPatchFromItsCachedCopy) {
    const std::string cached = "C:\\Windows\\Installer\\5d6e7f.msp";
    machine.WritePackage(cached, Patch("6.0.1300"));
    machine.Msi().ApplyPatch(kProduct, {kPatchCode, ":T;:#T", cached});
    EXPECT_EQ(GetPCMspBuildVersion(kPatchCode), 0x06000514u);
    g_pTraceLog = nullptr;
    EXPECT_EQ(GetPCMspBuildVersion(kPatchCode), 0x06000514u);
}

TEST_F(AppliedPatchesTest, ADeletedCachedCopyGivesZero) {
    const std::string cached = "C:\\Windows\\Installer\\gone.msp";
    machine.Msi().ApplyPatch(kProduct, {kPatchCode, ":T;:#T", cached});
    EXPECT_EQ(
        TraceOf(machine, [&] { EXPECT_EQ(GetPCMspBuildVersion(kPatchCode), 0u); }),
        CrLfLines({"    GetPCMspBuildVersion-Start", std::string("        PatchCode:") + kPatchCode,
                   "        File Chk:" + cached, "        File Not Found:" + cached,
                   "    GetPCMspBuildVersion-End"}));
    machine.Files().CreateFolder(cached);
    EXPECT_EQ(GetPCMspBuildVersion(kPatchCode), 0u);
}

TEST_F(AppliedPatchesTest, AnUnknownPatchOrAnUnreadableCopyGivesZero) {
    SetLastError(0);
    const std::string unknown = "{EEEEEEEE-1111-2222-3333-444444444444}";
    EXPECT_EQ(TraceOf(machine, [&] { EXPECT_EQ(GetPCMspBuildVersion(unknown), 0u); }),
              CrLfLines({"    GetPCMspBuildVersion-Start", "        PatchCode:" + unknown,
                         "        MsiGetPatchInfo Err：ErrCode = 0,ErrMsg = The operation "
                         "completed successfully.",
                         "    GetPCMspBuildVersion-End"}));
    const std::string cached = "C:\\Windows\\Installer\\nobuild.msp";
    sim::MsiPackage patch = Patch();
    patch.patchMetadata.clear();
    machine.WritePackage(cached, patch);
    machine.Msi().ApplyPatch(kProduct, {kPatchCode, ":T;:#T", cached});
    EXPECT_EQ(GetPCMspBuildVersion(kPatchCode), 0u);
}

} // namespace
