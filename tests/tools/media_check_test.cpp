// media_tool check on the simulated machine: its rows say what a whole launcher run on the same
// machine then does, and its findings name what is wrong with the media.
#include "media_check.h"
#include "report_text.h"

#include "os/windows_version.h"
#include "support/update_machine.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

using test::UpdateMachine;

constexpr char kOtherProduct[] = "{00000000-0000-0000-0000-000000000001}";

// The codes the run wrote at InstMSP's own level: the install mode (when asked) and the code of
// the box.
std::vector<std::string> DecisionCodes(const std::string& trace) {
    std::vector<std::string> codes;
    std::istringstream lines(trace);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("        Code=", 0) == 0) {
            codes.push_back(line.substr(13, line.find('\r') - 13));
        }
    }
    return codes;
}

class MediaCheckTest : public ::testing::Test, public UpdateMachine {
protected:
    void SetUp() override { ProcessWindowsVersionTest() = CWindowsVersionTest{}; }
    tagMediaReport Check(std::vector<std::string> applied = {}) {
        return CheckMedia({"C:\\Media", {test::kLocalPackage}, std::move(applied)});
    }
    bool HasFinding(const tagMediaReport& report, bool error, const std::string& part) {
        for (const tagMediaFinding& finding : report.aFindings) {
            if (finding.bError == error &&
                (finding.strSubject + ": " + finding.strText).find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(MediaCheckTest, TheRowIsWhatTheLauncherThenDoes) {
    const struct {
        const char* name;
        std::function<void(UpdateMachine&)> arrange;
        std::optional<int> mode;
        UpdateBox box;
        int exitCode;
        const char* finding; // the error the check reports, "" for none
    } rows[] = {
        {"good media", [](UpdateMachine&) {}, 1, UpdateBoxSetup, 0, ""},
        {"a typo in the package code",
         [](UpdateMachine& m) {
             m.WriteSettings("[Install]\r\nURL=https://example.com/\r\n[Patch_ALPHA]\r\n"
                             "QernoE6_ALPHA_1234={5A5A5A5A-0001-0002-0003-000000000005}\r\n");
         },
         0, UpdateBoxNoTarget, 1642, "Patch_ALPHA lists no patch for its package code"},
        {"the listed patch is missing",
         [](UpdateMachine& m) {
             m.WriteSettings("[Install]\r\nURL=https://example.com/\r\n[Patch_ALPHA]\r\n"
                             "QernoE6_ALPHA_1300=" +
                             std::string(test::kPackageCode) + "\r\n");
         },
         0, UpdateBoxNoTarget, 1642, "MSP\\QernoE6_ALPHA_1300.msp does not exist"},
        {"an unreadable probe package",
         [](UpdateMachine& m) { m.machine.Files().WriteFile("C:\\Media\\MSP\\A.msp", "text"); },
         std::nullopt, UpdateBoxLaunchFailure, 1619, "MSP\\A.msp: cannot be read"},
        {"a patch for another product",
         [](UpdateMachine& m) {
             m.AddPatch("QernoE6_ALPHA_1234", "Ortolan Qerno6 E Build 1234",
                        "{AAAAAAAA-1111-2222-3333-000000001234}", "6.0.1234", kOtherProduct);
         },
         std::nullopt, UpdateBoxNoTarget, 1642,
         "targets {00000000-0000-0000-0000-000000000001}, not"},
        {"the same build applied",
         [](UpdateMachine& m) {
             m.ApplyEarlier("{BBBBBBBB-1111-2222-3333-000000001234}", "6.0.1234");
         },
         2, UpdateBoxAlreadyApplied, 0, ""},
        {"a newer build applied",
         [](UpdateMachine& m) {
             m.ApplyEarlier("{BBBBBBBB-1111-2222-3333-000000001300}", "6.0.1300");
         },
         3, UpdateBoxAlreadyApplied, 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        UpdateMachine m;
        row.arrange(m);
        ProcessWindowsVersionTest() = CWindowsVersionTest{};
        const std::vector<std::string> applied =
            m.machine.Msi().Product(test::kProductCode)->patches.empty()
                ? std::vector<std::string>{}
                : std::vector<std::string>{
                      m.machine.Msi().Product(test::kProductCode)->patches[0].localPackage};
        const tagMediaReport report = CheckMedia({"C:\\Media", {test::kLocalPackage}, applied});
        // The check shows nothing, starts nothing and leaves no settings copy behind.
        EXPECT_TRUE(m.machine.MessageBoxes().empty());
        EXPECT_TRUE(m.machine.Programs().Starts().empty());
        EXPECT_FALSE(
            m.machine.Files().Exists("C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp"));
        EXPECT_EQ(m.machine.Msi().OpenHandles(), 0u);
        EXPECT_EQ(m.machine.OpenFinds(), 0u);
        ASSERT_EQ(report.aRows.size(), 1u);
        const tagPackageRow& checked = report.aRows[0];
        EXPECT_EQ(checked.nInstMode, row.mode);
        EXPECT_EQ(checked.nBox, row.box);
        EXPECT_EQ(HasFinding(report, true, row.finding), *row.finding != '\0');
        EXPECT_EQ(report.CountFindings(true) == 0, *row.finding == '\0');

        EXPECT_EQ(m.Launch(), row.exitCode);
        ASSERT_EQ(m.machine.MessageBoxes().size(), 1u);
        EXPECT_EQ(m.machine.MessageBoxes()[0].caption, checked.strCaption);
        EXPECT_EQ(m.machine.MessageBoxes()[0].text, checked.strText);
        std::vector<std::string> expected;
        if (row.mode) {
            expected.push_back(std::to_string(*row.mode));
        }
        expected.push_back(std::to_string(checked.nTraceCode));
        EXPECT_EQ(DecisionCodes(m.Trace()), expected);
        EXPECT_EQ(checked.nBox == UpdateBoxSetup ? 0 : checked.nExitCode, row.exitCode);
    }
}

TEST_F(MediaCheckTest, SignaturesAsTheLauncherJudgesThem) {
    constexpr char16_t kPublisher[] = u"CN=Ortolan Test Publisher, O=Ortolan, C=JP";
    const sim::Signature good{kPublisher, true, true};
    const sim::Signature broken{kPublisher, false, true};
    const sim::Signature untrusted{kPublisher, true, false};
    const std::optional<sim::Signature> none;
    const struct {
        const char* name;
        std::optional<sim::Signature> setup;
        std::optional<sim::Signature> patch;
        std::optional<sim::Signature> spare; // an unlisted second patch, when signed
        bool acceptsUntrustedRoots;          // WinVerifyTrust as Wine 8 answers
        int exitCode;                        // the launch's
        bool error;
        const char* finding; // "" for none at all
        const char* shown;   // in the table
    } rows[] = {
        {"unsigned launcher and patch", none, none, none, false, 0, false, "",
         "Patch check: none, Setup.exe is unsigned (a development build)"},
        {"unsigned launcher, another's patch", none, sim::Signature{u"CN=Other"}, none, false, 0,
         false, "", "signed    valid  CN=Other\n"},
        {"same publisher", good, good, good, false, 0, false, "",
         "Patch check: Setup.exe applies only patches signed by CN=Ortolan Test Publisher"},
        {"unsigned patch", good, none, good, false, 1643, true,
         "MSP\\QernoE6_ALPHA_1234.msp: unsigned: the signed Setup.exe refuses it and exits 1643",
         "unsigned  -  "},
        {"another publisher", good, sim::Signature{u"CN=Other"}, good, false, 1643, true,
         "signed by CN=Other, not by Setup.exe's publisher CN=Ortolan Test Publisher", ""},
        {"changed after signing", good, broken, good, false, 1643, true,
         "its signature is not valid (WinVerifyTrust 0x80096010)", "invalid: WinVerifyTrust"},
        {"an untrusted root", good, untrusted, good, false, 1643, true,
         "not valid (WinVerifyTrust 0x800B0109)", ""},
        {"an untrusted root that WinVerifyTrust lets pass", good, untrusted, good, true, 1643, true,
         "not valid (chain policy 0x800B0109)", "invalid: chain policy 0x800B0109"},
        {"a launcher whose own root is untrusted", untrusted, none, none, false, 0, false,
         "Setup.exe: signed, but the signature is not valid here (WinVerifyTrust 0x800B0109)",
         "Patch check: none, Setup.exe's signature is not valid"},
        {"an unlisted unsigned patch", good, good, none, false, 0, true,
         "MSP\\Spare.msp: unsigned: the signed Setup.exe refuses it", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        UpdateMachine m;
        m.AddPatch("Spare", "Ortolan Qerno6 E Build 1200", "{C1}", "6.0.1200");
        m.machine.Files().SetSignature("C:\\Media\\Setup.exe", row.setup);
        m.machine.Files().SetSignature("C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp", row.patch);
        m.machine.Files().SetSignature("C:\\Media\\MSP\\Spare.msp", row.spare);
        m.machine.SetTrustAcceptsUntrustedRoots(row.acceptsUntrustedRoots);
        const tagMediaReport report = Check();
        EXPECT_EQ(sim::OpenTrustStates(), 0u);
        if (*row.finding != '\0') {
            EXPECT_TRUE(HasFinding(report, row.error, row.finding));
        }
        EXPECT_EQ(report.CountFindings(true) != 0, row.error);
        EXPECT_EQ(report.CountFindings(false), 1 + (*row.finding != '\0' && !row.error));
        EXPECT_NE(FormatReportTable(report).find(row.shown), std::string::npos)
            << FormatReportTable(report);
        ASSERT_EQ(report.aRows.size(), 1u);
        const tagPackageRow& checked = report.aRows[0];
        EXPECT_EQ(
            HasFinding(report, true, "then refuses the patch QernoE6_ALPHA_1234 and exits 1643"),
            row.exitCode == 1643);
        EXPECT_EQ(m.Launch("/silent2"), row.exitCode);
        EXPECT_EQ(checked.IsExitCodeFromInstaller() ? 0 : checked.nExitCode, row.exitCode);
    }
}

TEST_F(MediaCheckTest, AFileAnotherHasOpenToChangeIsRefusedAsTheLauncherRefusesIt) {
    const struct {
        const char* file;
        DWORD access; // of the other program
        const char* finding;
    } rows[] = {
        {"C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp", GENERIC_WRITE,
         "MSP\\QernoE6_ALPHA_1234.msp: another program has it open for writing"},
        {"C:\\Media\\Setup.exe", DELETE,
         "Setup.exe: another program has it open for writing or deleting: the signed Setup.exe "
         "refuses every patch and exits 1643"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        UpdateMachine m;
        const sim::Signature publisher{u"CN=Ortolan Test Publisher", true, true};
        m.machine.Files().SetSignature("C:\\Media\\Setup.exe", publisher);
        m.machine.Files().SetSignature("C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp", publisher);
        auto another = m.machine.Files().HoldOpen(
            row.file, row.access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        EXPECT_TRUE(HasFinding(Check(), true, row.finding));
        EXPECT_EQ(m.Launch("/silent2"), 1643);
        another.reset();
        EXPECT_EQ(Check().CountFindings(true), 0u);
        EXPECT_EQ(m.machine.OpenFileHandles(), 0u);
    }
}

TEST_F(MediaCheckTest, TheRowNamesEditionSectionPatchAndTarget) {
    const tagMediaReport report = Check();
    ASSERT_EQ(report.aRows.size(), 1u);
    const tagPackageRow& row = report.aRows[0];
    EXPECT_EQ(row.strEdition, "ALPHA");
    EXPECT_EQ(row.strSection, "Patch_ALPHA");
    EXPECT_EQ(row.strPatchName, "QernoE6_ALPHA_1234");
    EXPECT_EQ(row.bTargetsProduct, true);
    EXPECT_EQ(row.strPackageCode, test::kPackageCode);
    EXPECT_EQ(report.probe.strCaption, "Ortolan Qerno6 E");
    ASSERT_EQ(report.aPatches.size(), 1u);
    EXPECT_EQ(report.aPatches[0].strBuildVersion, "6.0.1234");
    EXPECT_TRUE(report.aPatches[0].bListed);
    EXPECT_EQ(report.strUrl, "https://example.com/");
    EXPECT_TRUE(report.aFindings.empty());
}

TEST_F(MediaCheckTest, FindingsInTheSettingsAndThePatchFolder) {
    const std::string section = "[Install]\r\nURL=https://example.com/\r\n[Patch_ALPHA]\r\n";
    const std::string code = test::kPackageCode;
    const struct {
        std::function<void(UpdateMachine&)> arrange;
        bool error;
        const char* finding;
    } rows[] = {
        {[](UpdateMachine& m) { m.WriteSettings("[Install]\r\nURL=file:c:\\x\r\n"); }, true,
         "URL \"file:c:\\x\" is not a web page or mail address"},
        {[](UpdateMachine& m) { m.WriteSettings("[Install]\r\nURL=a@b.com\" /x\r\n"); }, true,
         "would not open it"},
        {[](UpdateMachine& m) {
             m.WriteSettings("[Patch_BRAVO]\r\nB=" + std::string(test::kPackageCode));
         },
         false, "[Install] has no URL"},
        {[](UpdateMachine&) { DeleteFileA("C:\\Media\\Install.dat"); }, true,
         "Install.dat: missing"},
        {[&](UpdateMachine& m) {
             m.WriteSettings(section + "..\\MSP\\QernoE6_ALPHA_1234=" + code);
         },
         true, "the name leaves MSP\\"},
        {[&](UpdateMachine& m) { m.WriteSettings(section + "QernoE6_ALPHA_1234={5A5A5A5A-0001}"); },
         true, "is not a package code"},
        {[&](UpdateMachine& m) {
             m.WriteSettings(section + "QernoE6_ALPHA_1234=" + code + "\r\nOther=" + code);
         },
         true, "the launcher takes QernoE6_ALPHA_1234"},
        {[&](UpdateMachine& m) {
             m.WriteSettings(section + "QernoE6_ALPHA_1234=" + code +
                             "\r\nqernoe6_alpha_1234=" + "5a5a5a5a-0001-0002-0003-000000000004");
         },
         false, "QernoE6_ALPHA_1234 is listed twice"},
        {[&](UpdateMachine& m) {
             m.WriteSettings(section + "Empty=\r\nQernoE6_ALPHA_1234=" + code);
         },
         false, "Empty: no package code"},
        {[](UpdateMachine& m) {
             m.AddPatch("Spare", "Ortolan Qerno6 E Build 1200", "{C1}", "6.0.1200");
         },
         false, "MSP\\Spare.msp: listed in no Patch_<edition> section"},
        {[](UpdateMachine& m) {
             m.AddPatch("QernoE6_ALPHA_1234", "Qerno update", "{C1}", "6.0.1234");
         },
         true, "is not \"<name> Build <n>\""},
        {[](UpdateMachine& m) {
             m.AddPatch("QernoE6_ALPHA_1234", "Ortolan Qerno6 E Build 1234", "{C1}", "6.0");
         },
         true, "DBuildVersion 6.0 has fewer than three numbers"},
        {[](UpdateMachine& m) {
             m.AddPatch("QernoE6_ALPHA_1234", "Ortolan Qerno6 E Build 1234", "{C1}", "");
         },
         true, "no DBuildVersion"},
        {[](UpdateMachine& m) {
             m.AddPatch("QernoE6_ALPHA_1234", "Ortolan Qerno6 E Build 1230", "{C1}", "6.0.1234");
         },
         false, "the title names build 1230, DBuildVersion is 6.0.1234"},
        {[](UpdateMachine& m) {
             m.AddPatch("Z", "Ortolan Qerno6 E Build 1234", "{C1}", "6.0.1234", kOtherProduct);
         },
         false, "the launcher looks only for the probe's products"},
        {[](UpdateMachine&) { DeleteFileA("C:\\Media\\Setup.exe"); }, false,
         "Setup.exe: missing: whether a signed launcher would accept the patches is not known"},
        {[](UpdateMachine&) { DeleteFileA("C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp"); }, true,
         "no *.msp in MSP\\: every run shows the launch-failure box and exits 1619"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.finding);
        UpdateMachine m;
        row.arrange(m);
        const tagMediaReport report = CheckMedia({"C:\\Media", {}, {}});
        EXPECT_TRUE(HasFinding(report, row.error, row.finding)) << report.aFindings.size();
    }
}

TEST_F(MediaCheckTest, TheUrlIsJudgedAsTheLaunchersLinkOpensIt) {
    const struct {
        const char* url;
        bool opened;
    } rows[] = {
        {"https://example.com/", true}, {"support@example.com", true}, {"mailto:a@b.com", true},
        {"www.example.com", true},      {"file:c:\\x", false},         {"a@b.com\" /x", false},
        {"support page", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url);
        UpdateMachine m;
        m.WriteSettings("[Install]\r\nURL=" + std::string(row.url) +
                        "\r\n[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=" + test::kPackageCode + "\r\n");
        const tagMediaReport report = CheckMedia({"C:\\Media", {}, {}});
        EXPECT_EQ(report.aFindings.empty(), row.opened);
        EXPECT_EQ(HasFinding(report, true, "engine check's dialog would not open it"), !row.opened);
    }
}

TEST_F(MediaCheckTest, PackagesAndAppliedPatchesThatCannotBeRead) {
    machine.Files().WriteFile("C:\\Packages\\x.msi", "not a package");
    const tagMediaReport report =
        CheckMedia({"C:\\Media", {"C:\\Packages\\x.msi"}, {"C:\\Packages\\missing.msp"}});
    EXPECT_TRUE(HasFinding(report, true, "C:\\Packages\\x.msi: cannot be read as a product"));
    EXPECT_TRUE(HasFinding(report, true, "missing.msp: applied patch without a readable"));
    EXPECT_TRUE(
        HasFinding(report, true, "x.msi: Setup.exe shows the no-target box and exits 1642"));
    EXPECT_TRUE(
        HasFinding(CheckMedia({"C:\\Nowhere", {}, {}}), true, "C:\\Nowhere: is not a folder"));
}

TEST_F(MediaCheckTest, AnotherEditionIsReadFromItsOwnSection) {
    sim::MsiPackage bravo;
    bravo.properties = {{"ProductCode", test::kProductCode},
                        {"ProductVersion", "6.0.1000"},
                        {"DInstallVer", "QernoE6 BRAVO"}};
    const std::string bravoCode = "{5A5A5A5A-0001-0002-0003-0000000000B0}";
    bravo.summary[PID_REVNUMBER] = sim::SummaryValue::Text(bravoCode);
    machine.WritePackage("C:\\Packages\\bravo.msi", bravo);
    AddPatch("QernoE6_BRAVO_1234", "Ortolan Qerno6 E Build 1234", "{C2}", "6.0.1234");
    WriteSettings("[Install]\r\nURL=https://example.com/\r\n[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=" +
                  std::string(test::kPackageCode) +
                  "\r\n[Patch_BRAVO]\r\nQernoE6_BRAVO_1234=" + bravoCode + "\r\n");
    const tagMediaReport report =
        CheckMedia({"C:\\Media", {test::kLocalPackage, "C:\\Packages\\bravo.msi"}, {}});
    ASSERT_EQ(report.aRows.size(), 2u);
    EXPECT_EQ(report.aRows[1].strSection, "Patch_BRAVO");
    EXPECT_EQ(report.aRows[1].strPatchName, "QernoE6_BRAVO_1234");
    EXPECT_EQ(report.aRows[1].nBox, UpdateBoxSetup);
    EXPECT_EQ(report.CountFindings(true), 0);
}

} // namespace
