// The installer queries against real packages (under Wine) and their simulated twins: the same
// code must give the same answers in both worlds.
#include "sample_packages.h"
#include "scratch_fixture.h"

#include "log/trace_log.h"
#include "msiquery/msi_version.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_queries.h"
#include "msiquery/patch_summary.h"
#include "os/scoped_handle.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace conformance {
namespace {

class InstallerTest : public ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        m_packages = SamplePackagesFolder();
    }
    std::string Sample(const char* name) const { return m_packages + name; }

    // The trace lines `work` writes, without the run's own start and end lines.
    std::string TraceOf(const std::function<void()>& work) {
        const std::string path = Path("trace.log");
        {
            CTraceLog log;
            log.Open(path.c_str(), "Conformance");
            g_pTraceLog = &log;
            work();
            log.Close();
            g_pTraceLog = nullptr;
        }
        std::string bytes;
        if (std::FILE* file = _fsopen(path.c_str(), "rb", _SH_DENYNO)) {
            char buffer[4096];
            std::size_t read = 0;
            while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
                bytes.append(buffer, read);
            }
            std::fclose(file);
        }
        // Drop the first and the last line.
        const std::size_t first = bytes.find("\r\n");
        const std::size_t last = bytes.rfind("\r\n", bytes.size() - 3);
        if (first == std::string::npos || last == std::string::npos || last < first) {
            return "<no run>" + bytes;
        }
        return bytes.substr(first + 2, last - first);
    }

    std::string m_packages;
};

TEST_F(InstallerTest, PropertiesOfAProductPackage) {
    std::string value;
    EXPECT_TRUE(GetMSIProperty("DInstallVer", Sample("product.msi"), value));
    EXPECT_EQ(value, kSampleEdition);
    EXPECT_TRUE(GetMSIProperty("LongProp", Sample("product.msi"), value));
    EXPECT_EQ(value, std::string(kSampleLongPropLength, 'L'));
    EXPECT_TRUE(GetMSIProductCode(Sample("product.msi"), value));
    EXPECT_EQ(value, kSampleProductCode);
    EXPECT_TRUE(GetMSIProperty("ProductVersion", Sample("product.msi"), value));
    EXPECT_EQ(GetMSIVersion(value), 0x060003E8u);
    value = "untouched";
    EXPECT_FALSE(GetMSIProperty("NoSuchProperty", Sample("product.msi"), value));
    EXPECT_FALSE(GetMSIProperty("DInstallVer", Sample("missing.msi"), value));
    EXPECT_EQ(value, "untouched");
}

TEST_F(InstallerTest, TheTraceOfAPropertyRead) {
    EXPECT_EQ(TraceOf([&] {
                  std::string value;
                  EXPECT_TRUE(GetMSIProperty("DInstallVer", Sample("product.msi"), value));
              }),
              "    GetMSIProperty-Start\r\n        Property:DInstallVer\r\n        Data    :" +
                  std::string(kSampleEdition) + "\r\n    GetMSIProperty-End\r\n");
}

TEST_F(InstallerTest, SummaryOfTheProductPackage) {
    std::vector<tagSummaryValue> values;
    ASSERT_TRUE(GetMspSummaryInformation(values, Sample("product.msi"), false));
    std::string revision;
    std::string templateText;
    for (const tagSummaryValue& value : values) {
        if (value.nPropertyId == 7) {
            templateText = value.strValue;
            EXPECT_EQ(value.strName, "Template");
        }
        if (value.nPropertyId == 9) {
            revision = value.strValue;
            EXPECT_EQ(value.strName, "Revision Number");
        }
    }
    EXPECT_EQ(templateText, "Intel;1033");
    EXPECT_EQ(revision.size(), 38u) << revision;
}

TEST_F(InstallerTest, WhatAPatchTargets) {
    std::string target;
    std::string code;
    std::string title;
    ASSERT_TRUE(GetMspTargetID(Sample("build1234.msp"), &target, &code, &title));
    EXPECT_EQ(target, kSampleProductCode);
    EXPECT_EQ(code, kSamplePatchCode);
    EXPECT_EQ(title, kSamplePatchTitle);
}

TEST_F(InstallerTest, APatchHeldWithOnlyReadingSharedIsStillRead) {
    // The launcher holds a checked patch so while the installer and its own reads open it.
    const std::string patch = Sample("build1234.msp");
    CFileHandle hold(CreateFileA(patch.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(hold.IsValid()) << GetLastError();
    std::string target;
    EXPECT_TRUE(GetMspTargetID(patch, &target, nullptr, nullptr));
    EXPECT_EQ(target, kSampleProductCode);
}

TEST_F(InstallerTest, APackageIsRefusedAsAPatchAndAPatchAsAPackage) {
    std::string target = "untouched";
    EXPECT_FALSE(GetMspTargetID(Sample("product.msi"), &target, nullptr, nullptr));
    std::string version = "untouched";
    DWORD packed = 7;
    EXPECT_FALSE(GetMspBuildVersion(Sample("product.msi"), version, packed));
    EXPECT_EQ(target, "untouched");
    EXPECT_EQ(version, "untouched");
    EXPECT_EQ(packed, 7u);
    std::string value = "untouched";
    EXPECT_FALSE(GetMSIProperty("ProductCode", Sample("build1234.msp"), value));
    EXPECT_EQ(value, "untouched");
}

TEST_F(InstallerTest, ATargetListLongerThanTheFirstBufferIsReadWhole) {
    // ERROR_MORE_DATA with the full length, then the whole text in a buffer of that size.
    std::string target;
    EXPECT_EQ(LongTargetList().size(), 545u);
    EXPECT_TRUE(GetMspTargetID(Sample("longtarget.msp"), &target, nullptr, nullptr));
    EXPECT_EQ(target, LongTargetList());
}

TEST_F(InstallerTest, BuildVersionsOfPatches) {
    std::string version;
    DWORD packed = 0;
    EXPECT_TRUE(GetMspBuildVersion(Sample("build1234.msp"), version, packed));
    EXPECT_EQ(version, "6.0.1234");
    EXPECT_EQ(packed, 0x060004D2u);
    EXPECT_TRUE(GetMspBuildVersion(Sample("twonumbers.msp"), version, packed));
    EXPECT_EQ(version, "6.0");
    EXPECT_EQ(packed, 0u);
    version = "untouched";
    EXPECT_FALSE(GetMspBuildVersion(Sample("nobuild.msp"), version, packed));
    EXPECT_EQ(version, "untouched");
}

TEST_F(InstallerTest, TheTraceOfABuildVersionRead) {
    const std::string trace = TraceOf([&] {
        std::string version;
        DWORD packed = 0;
        EXPECT_TRUE(GetMspBuildVersion(Sample("build1234.msp"), version, packed));
    });
    EXPECT_EQ(trace, "    GetMspBuildVersion-Start\r\n"
                     "        GetRecordString-Start\r\n"
                     "            Value:DBuildVersion\r\n"
                     "        GetRecordString-End\r\n"
                     "        GetRecordString-Start\r\n"
                     "            Value:6.0.1234\r\n"
                     "        GetRecordString-End\r\n"
                     "        GetMSIVersion-Start\r\n"
                     "            Version:6.0.1234\r\n"
                     "            GetMSIVersion-Start\r\n"
                     "                Code=6\r\n"
                     "                Code=0\r\n"
                     "                Code=1234\r\n"
                     "                Code=100664530\r\n"
                     "            GetMSIVersion-End\r\n"
                     "        GetMSIVersion-End\r\n"
                     "        BuildVer  :6.0.1234\r\n"
                     "        BuildVerDW:100664530\r\n"
                     "    GetMspBuildVersion-End\r\n");
}

TEST_F(InstallerTest, TheInstalledProductAndItsCachedPackage) {
    std::string localPackage;
    ASSERT_TRUE(GetMSIProductInfo(kSampleProductCode, "LocalPackage", localPackage));
    EXPECT_NE(GetFileAttributesA(localPackage.c_str()), INVALID_FILE_ATTRIBUTES) << localPackage;
    std::string edition;
    EXPECT_TRUE(GetMSIProperty("DInstallVer", localPackage, edition));
    EXPECT_EQ(edition, kSampleEdition);
    std::string value = "untouched";
    EXPECT_FALSE(
        GetMSIProductInfo("{00000000-0000-0000-0000-000000000001}", "LocalPackage", value));
    EXPECT_FALSE(GetMSIProductInfo(kSampleProductCode, "NoSuchAttribute", value));
    EXPECT_EQ(value, "untouched");
}

TEST_F(InstallerTest, NoPatchesAppliedYet) {
    std::vector<std::string> codes{"kept"};
    EXPECT_TRUE(GetPatchPackageCode(kSampleProductCode, codes));
    EXPECT_EQ(codes, std::vector<std::string>{"kept"});
    EXPECT_EQ(GetPCMspBuildVersion(kSamplePatchCode), 0u);
}

} // namespace
} // namespace conformance
