// Which package the settings list for the installed edition and package.
#include "patch/edition_patch_list.h"

#include "support/trace_file.h"
#include "support/update_machine.h"

#include <gtest/gtest.h>

namespace {

using test::kPackageCode;

class EditionTest : public ::testing::Test, public test::UpdateMachine {
protected:
    void SetUp() override {
        context.strExeDir = test::kMedia;
        context.strDatPath = "C:\\Temp\\settings.tmp";
    }
    void Settings(const std::string& text) { machine.Files().WriteFile(context.strDatPath, text); }
    // ChkInstall's result and the chosen path ("" when none was named).
    std::pair<bool, std::string> Choose() {
        const tagPatchListing listing = ChkInstall(context, test::kLocalPackage);
        return {listing.bFound, listing.strPatchPath};
    }
    std::string Trace() {
        return test::TraceOf(machine, [&] { (void)ChkInstall(context, test::kLocalPackage); });
    }
    void TearDown() override { EXPECT_EQ(machine.Msi().OpenHandles(), 0u); }

    tagLaunchContext context;
};

const std::string kChosen = "C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp";

TEST_F(EditionTest, TheTableOrderDecidesBetweenTwoTokens) {
    InstallProduct("QernoE6 CHARLIE ALPHA");
    Settings("[Patch_CHARLIE]\r\nC=" + std::string(kPackageCode) +
             "\r\n[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=" + kPackageCode + "\r\n");
    EXPECT_EQ(Choose(), std::make_pair(true, kChosen));
}

TEST_F(EditionTest, ATokenInLowerCaseIsNoEdition) {
    InstallProduct("QernoE6 alpha");
    Settings("[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=" + std::string(kPackageCode) + "\r\n");
    EXPECT_EQ(Choose(), std::make_pair(false, std::string()));
    EXPECT_NE(Trace().find("            Code=2250\r\n        ChkInstall-End\r\n        Code=2303"),
              std::string::npos);
}

TEST_F(EditionTest, EmptyValuesAreSkippedAndTheFirstMatchingLineWins) {
    Settings("[Patch_ALPHA]\r\nEmpty=\r\nQernoE6_ALPHA_1234=" + std::string(kPackageCode) +
             "\r\nSecond=" + kPackageCode + "\r\n");
    EXPECT_EQ(Choose(), std::make_pair(true, kChosen));
    const std::string trace = Trace();
    EXPECT_EQ(trace.find("Empty"), std::string::npos);
    EXPECT_NE(trace.find("            QernoE6_ALPHA_1234\r\n            " +
                         std::string(kPackageCode) + "\r\n            Second\r\n"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("        " + kChosen + "\r\n        Code=2339\r\n    ChkInstall-End"),
              std::string::npos)
        << trace;
}

TEST_F(EditionTest, PackageCodesMatchWithoutRegardToCaseOrBraces) {
    Settings("[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=5a5a5a5a-0001-0002-0003-000000000004\r\n");
    EXPECT_EQ(Choose(), std::make_pair(true, kChosen));
}

TEST_F(EditionTest, MalformedOrLongerCodesNeverMatchButLaterLinesStill) {
    Settings("[Patch_ALPHA]\r\nBroken={5A5A5A5A-0001-0002-000000000004}\r\nLonger=" +
             std::string(kPackageCode) + " old\r\nQernoE6_ALPHA_1234=" + kPackageCode + "\r\n");
    EXPECT_EQ(Choose(), std::make_pair(true, kChosen));
    Settings("[Patch_ALPHA]\r\nBroken={5A5A5A5A-0001-0002-000000000004}\r\n");
    EXPECT_EQ(Choose(), std::make_pair(false, std::string()));
    EXPECT_NE(Trace().find("        Code=2344\r\n    ChkInstall-End"), std::string::npos);
}

TEST_F(EditionTest, TheListedFileMissingStillNamesIt) {
    Settings("[Patch_ALPHA]\r\nMissing=" + std::string(kPackageCode) + "\r\n");
    EXPECT_EQ(Choose(), std::make_pair(false, std::string("C:\\Media\\MSP\\Missing.msp")));
    EXPECT_NE(Trace().find("C:\\Media\\MSP\\Missing.msp\r\n        Code=2339"), std::string::npos);
}

TEST_F(EditionTest, NamesThatLeaveThePatchFolderCountAsMissingFiles) {
    // Each names an existing package; only the plain names are taken.
    machine.Files().WriteFile("C:\\outside.msp", "x");
    machine.Files().WriteFile("C:\\Media\\MSP\\sub\\a.msp", "x");
    machine.Files().WriteFile("C:\\Media\\MSP\\a..b.msp", "x");
    machine.Files().WriteFile("C:\\Media\\MSP\\\x83\x5C.msp", "x"); // ソ.msp
    const std::pair<const char*, bool> rows[] = {
        {"..\\..\\outside", false}, {"../../outside", false}, {"C:\\outside", false},
        {"sub\\a", false},          {"sub/a", false},         {"a..b", false},
        {"\x83\x5C", true},
    };
    for (const auto& [name, taken] : rows) {
        SCOPED_TRACE(name);
        Settings("[Patch_ALPHA]\r\n" + std::string(name) + "=" + kPackageCode + "\r\n");
        const auto [found, chosen] = Choose();
        EXPECT_EQ(found, taken);
        EXPECT_EQ(chosen, "C:\\Media\\MSP\\" + std::string(name) + ".msp");
    }
}

TEST_F(EditionTest, AMissingSectionOrSettingsCopy) {
    InstallProduct("QernoE6 BRAVO");
    Settings("[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=" + std::string(kPackageCode) + "\r\n");
    EXPECT_NE(Trace().find("            Patch_BRAVO\r\n            Code=2266\r\n        "
                           "ChkInstall-End\r\n        Code=2303"),
              std::string::npos);
    context.strDatPath = "";
    EXPECT_NE(Trace().find("            Code=2257\r\n        ChkInstall-End\r\n        Code=2303"),
              std::string::npos);
}

TEST_F(EditionTest, NoEditionPropertyOrNoPackageCode) {
    sim::MsiPackage bare;
    bare.summary[PID_REVNUMBER] = sim::SummaryValue::Text(kPackageCode);
    machine.WritePackage(test::kLocalPackage, bare);
    Settings("[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=" + std::string(kPackageCode) + "\r\n");
    EXPECT_NE(Trace().find("            Code=2221\r\n"), std::string::npos);

    sim::MsiPackage noCode;
    noCode.properties = {{"DInstallVer", "QernoE6 ALPHA"}};
    machine.WritePackage(test::kLocalPackage, noCode);
    EXPECT_NE(Trace().find("        Code=2327\r\n    ChkInstall-End"), std::string::npos);
    EXPECT_FALSE(Choose().first);
}

TEST_F(EditionTest, NoPatchFolder) {
    DeleteFileA(kChosen.c_str());
    RemoveDirectoryA("C:\\Media\\MSP");
    Settings("[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=" + std::string(kPackageCode) + "\r\n");
    EXPECT_NE(Trace().find("        Code=2295\r\n    ChkInstall-End"), std::string::npos);
}

} // namespace
