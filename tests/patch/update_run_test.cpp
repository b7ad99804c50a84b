// Whole update runs: every outcome of the patch update driver, with its box, its trace codes,
// the installer start and what a second run sees.
#include "patch/inst_msp.h"
#include "os/windows_version.h"

#include "support/update_machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

using test::UpdateMachine;

constexpr char kLaunchFailure[] = "インストーラの起動に失敗しました。";
constexpr char kNoTarget[] =
    "アップデート対象の製品が存在しません。\n\nセットアップを終了します。\n";
constexpr char kTitle[] = "Ortolan Qerno6 E Build 1234";
constexpr char kCaption[] = "Ortolan Qerno6 E";

// True when every line appears in the trace, whole and in this order.
::testing::AssertionResult InOrder(const std::string& trace, std::vector<std::string> lines) {
    std::istringstream stream(trace);
    std::string line;
    std::size_t next = 0;
    while (next < lines.size() && std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line == lines[next]) {
            ++next;
        }
    }
    if (next == lines.size()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "missing \"" << lines[next] << "\" in\n" << trace;
}

class UpdateRunTest : public ::testing::Test, public UpdateMachine {
protected:
    // Each simulated machine is a new process: the Windows version is asked afresh.
    void SetUp() override { ProcessWindowsVersionTest() = CWindowsVersionTest{}; }
    void TearDown() override {
        EXPECT_EQ(machine.Msi().OpenHandles(), 0u);
        EXPECT_EQ(machine.Programs().OpenHandles(), 0u);
        EXPECT_EQ(machine.Keys().OpenKeys(), 0u);
        EXPECT_EQ(machine.OpenFinds(), 0u);
        EXPECT_EQ(machine.LiveLocalBlocks(), 0u);
    }
    const sim::MessageBoxRecord& OnlyBox() {
        EXPECT_EQ(machine.MessageBoxes().size(), 1u);
        return machine.MessageBoxes().back();
    }
};

void RemovePatchFolder() {
    DeleteFileA("C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp");
    RemoveDirectoryA("C:\\Media\\MSP");
}

TEST_F(UpdateRunTest, NoPatchFolderOrAFileOfThatName) {
    RemovePatchFolder();
    Launch();
    EXPECT_TRUE(InOrder(Trace(), {"    InstMSP-Start", "        Code=2712", "    InstMSP-End"}));
    EXPECT_EQ(OnlyBox().caption, kCaption);
    EXPECT_EQ(OnlyBox().text, kLaunchFailure);
    EXPECT_EQ(OnlyBox().style, 0x30u);
    machine.Files().WriteFile("C:\\Media\\MSP", "a file");
    Launch();
    EXPECT_TRUE(InOrder(Trace(), {"    InstMSP-Start", "        Code=2712"}));
    EXPECT_TRUE(machine.Programs().Starts().empty());
}

TEST_F(UpdateRunTest, NoPatchPackageOrOneThatNamesNoTarget) {
    RemovePatchFolder();
    machine.Files().CreateFolder("C:\\Media\\MSP\\x.msp");
    Launch();
    // The search finds the folder, no file is taken, and the empty path cannot be read.
    EXPECT_TRUE(InOrder(Trace(), {"    InstMSP-Start", "        GetMspTargetID-Start",
                                  "                File:", "        Code=2754"}));
    EXPECT_EQ(OnlyBox().text, kLaunchFailure);

    RemoveDirectoryA("C:\\Media\\MSP\\x.msp");
    Launch();
    EXPECT_TRUE(InOrder(Trace(), {"        Code=2729"}));

    AddPatch("a", kTitle, "", "6.0.1234"); // no patch code
    Launch();
    EXPECT_TRUE(InOrder(Trace(), {"        Code=2754"}));
    EXPECT_EQ(machine.MessageBoxes().size(), 3u);
    EXPECT_EQ(machine.MessageBoxes().back().caption, kCaption);
}

TEST_F(UpdateRunTest, AProductThatIsNotInstalled) {
    AddPatch("QernoE6_ALPHA_1234", "Ortolan Qerno6 E Build 1234",
             "{AAAAAAAA-1111-2222-3333-000000001234}", "6.0.1234",
             "{00000000-0000-0000-0000-000000000001}");
    Launch();
    EXPECT_TRUE(InOrder(Trace(), {"        Code=2771", "    InstMSP-End"}));
    EXPECT_EQ(Trace().find("ChkInstall"), std::string::npos);
    EXPECT_EQ(OnlyBox().caption, kCaption);
    EXPECT_EQ(OnlyBox().text, kNoTarget);
}

TEST_F(UpdateRunTest, APatchForSeveralProductsFindsTheOneInstalledAndBacksItUp) {
    const std::string other = "{00000000-0000-0000-0000-000000000001}";
    const struct {
        std::string targets;
        bool installed;
    } rows[] = {
        {other + ";" + test::kProductCode, true},
        {std::string(test::kProductCode) + ";" + other, true},
        {other + ";{00000000-0000-0000-0000-000000000002}", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.targets);
        UpdateMachine m;
        const std::string late = std::string(test::kProgramFolder) + "late.dll";
        m.machine.Files().WriteFile(late, "x");
        m.machine.Files().SetFileTimes(
            late, m.machine.Time().UniversalTicks() + 1'296'000LL * 10'000'000, 0);
        m.AddPatch("QernoE6_ALPHA_1234", kTitle, "{AAAAAAAA-1111-2222-3333-000000001234}",
                   "6.0.1234", row.targets);
        EXPECT_EQ(m.Launch(), row.installed ? 0 : 1642);
        // Moved aside (and back, as the installer did not lay it again).
        EXPECT_EQ(m.Trace().find("REN File：SUCCESS") != std::string::npos, row.installed);
        EXPECT_EQ(m.machine.MessageBoxes().back().text,
                  row.installed ? std::string(kTitle) + "のセットアップを行います。\n\n"
                                : std::string(kNoTarget));
    }
}

TEST_F(UpdateRunTest, ATitleWithoutBuildGivesAnEmptyCaption) {
    AddPatch("QernoE6_ALPHA_1234", "Qerno update", "{AAAAAAAA-1111-2222-3333-000000001234}",
             "6.0.1234", "{00000000-0000-0000-0000-000000000001}");
    Launch();
    EXPECT_EQ(OnlyBox().caption, "");
}

TEST_F(UpdateRunTest, TheFirstRunSetsThePatchUp) {
    Launch();
    const std::string trace = Trace();
    EXPECT_TRUE(InOrder(
        trace, {"    InstMSP-Start", "        GetMSPInstMode", "        Code=1",
                "        Code=2816", "        SetupPatch-Start", "            BackUpFile-Start",
                "            BackUpFile-End", "            ShellExe-Start",
                "                EXE Path：C:\\Windows\\System32\\msiexec.exe",
                "                Code=1", "                Code=32832", "            ShellExe-End",
                "        SetupPatch-End", "    InstMSP-End"}))
        << trace;
    ASSERT_EQ(OnlyBox().caption, kCaption);
    EXPECT_EQ(OnlyBox().text, std::string(kTitle) + "のセットアップを行います。\n\n");
    ASSERT_EQ(machine.Programs().Starts().size(), 1u);
    const sim::ProcessStart& start = machine.Programs().Starts()[0];
    EXPECT_EQ(start.file, "\"C:\\Windows\\System32\\msiexec.exe\"");
    EXPECT_EQ(start.parameters,
              "/p \"C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp\" /l*v "
              "\"C:\\Users\\user\\AppData\\Local\\Temp\\Install_QernoE_2026_1207_222438.log\" "
              "REINSTALL=ALL REINSTALLMODE=vemus MERGEFRM=1 "
              "DATPATH=\"C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp\"");
    EXPECT_EQ(start.mask, 0x8040u);
    EXPECT_EQ(start.show, 1);
    EXPECT_EQ(start.verb, std::nullopt);
    EXPECT_EQ(start.directory, std::nullopt);
    // The box first, then the start, then the wait.
    const auto& events = machine.Events();
    const auto box = std::find(events.begin(), events.end(), "message box Ortolan Qerno6 E");
    const auto wait = std::find(events.begin(), events.end(), "wait");
    EXPECT_LT(box, wait);

    // Nothing of the run is left in the temporary folder but the trace.
    EXPECT_FALSE(machine.Files().Exists("C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp"));

    // A second run with the same media finds the patch applied.
    Launch();
    EXPECT_EQ(machine.MessageBoxes().size(), 2u);
    EXPECT_EQ(machine.MessageBoxes().back().text,
              std::string(kTitle) + "はすでに適用済です。\n\nセットアップを終了します。\n");
    EXPECT_TRUE(InOrder(Trace(), {"        Code=2", "        Code=2798"}));
    EXPECT_EQ(machine.Programs().Starts().size(), 1u);
}

TEST_F(UpdateRunTest, SilentModeAndTheLaunchersOwnCommandLine) {
    Launch("/silent1 LOGFILENAME=\"C:\\Logs\\a b.log\"");
    ASSERT_EQ(machine.Programs().Starts().size(), 1u);
    EXPECT_EQ(machine.Programs().Starts()[0].parameters,
              "/p \"C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp\" /l*v \"C:\\Logs\\a b.log\" "
              "REINSTALL=ALL REINSTALLMODE=vemus /qn MERGEFRM=1 "
              "DATPATH=\"C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp\"");
    // The box is shown in silent mode too.
    EXPECT_EQ(machine.MessageBoxes().size(), 1u);

    // A log name with a stray quote would swallow the rest of the installer's command line.
    UpdateMachine quoted;
    quoted.Launch("/silent1 LOGFILENAME=\"C:\\Logs\\a.log\" /qb");
    EXPECT_TRUE(InOrder(quoted.Trace(), {"        SetupPatch-Start",
                                         "            LOGFILENAME Err：\"C:\\Logs\\a.log\" /qb"}));
    EXPECT_EQ(quoted.machine.Programs().Starts().back().parameters->substr(0, 72),
              "/p \"C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp\" /l*v \"C:\\NimbraInstallLog.log\" ");

    UpdateMachine fresh;
    fresh.Launch("REBOOT=ReallySuppress");
    EXPECT_EQ(fresh.machine.Programs().Starts()[0].parameters.value().substr(
                  fresh.machine.Programs().Starts()[0].parameters->find("MERGEFRM=1")),
              "MERGEFRM=1 DATPATH=\"C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp\" "
              "REBOOT=ReallySuppress");
}

TEST_F(UpdateRunTest, WithoutASettingsCopyThereIsNothingToChoose) {
    DeleteFileA("C:\\Media\\Install.dat");
    Launch();
    // Not listed: the probe package (6.0.1234) is newer than what is installed.
    EXPECT_TRUE(
        InOrder(Trace(), {"                Code=2257", "            Code=2303",
                          "        GetMSPInstMode", "        Code=0", "        Code=2856"}));
    EXPECT_EQ(OnlyBox().text, kNoTarget);
}

TEST_F(UpdateRunTest, NotListedAndNotNewerThanWhatIsInstalled) {
    WriteSettings("[Patch_ALPHA]\r\nOther={00000000-0000-0000-0000-000000000009}\r\n");
    InstallProduct("QernoE6 ALPHA", "6.0.1234");
    Launch();
    EXPECT_TRUE(InOrder(Trace(), {"            Code=2344", "        Code=0", "        Code=2845"}));
    EXPECT_EQ(OnlyBox().text,
              std::string(kTitle) + "はすでに適用済です。\n\nセットアップを終了します。\n");

    InstallProduct("QernoE6 ALPHA", "6.0.1000");
    ApplyEarlier("{BBBBBBBB-1111-2222-3333-000000001300}", "6.0.1300");
    Launch();
    EXPECT_TRUE(InOrder(Trace(), {"        Code=0", "        Code=2845"}));
}

TEST_F(UpdateRunTest, TheSameOrAnOlderBuildIsAlreadyApplied) {
    ApplyEarlier("{BBBBBBBB-1111-2222-3333-000000001234}", "6.0.1234");
    Launch();
    EXPECT_TRUE(
        InOrder(Trace(), {"        GetMSPInstMode", "        Code=2", "        Code=2798"}));
    UpdateMachine older;
    older.ApplyEarlier("{BBBBBBBB-1111-2222-3333-000000001300}", "6.0.1300");
    older.ApplyEarlier("{CCCCCCCC-1111-2222-3333-000000001200}", "6.0.1200");
    older.Launch();
    EXPECT_TRUE(InOrder(older.Trace(), {"        Code=3", "        Code=2798"}));
    EXPECT_TRUE(older.machine.Programs().Starts().empty());
}

TEST_F(UpdateRunTest, AChosenBuildOfTwoNumbersWithNoPatchesAppliedIsTheSameBuild) {
    AddPatch("QernoE6_ALPHA_1234", kTitle, "{AAAAAAAA-1111-2222-3333-000000001234}", "6.0");
    Launch();
    EXPECT_TRUE(InOrder(Trace(), {"        Code=2", "        Code=2798"}));
}

TEST_F(UpdateRunTest, AChosenPackageWithoutBuildIsAnError) {
    AddPatch("QernoE6_ALPHA_1234", kTitle, "{AAAAAAAA-1111-2222-3333-000000001234}", "");
    Launch();
    EXPECT_TRUE(
        InOrder(Trace(), {"        GetMSPInstMode", "        Code=-1", "        Code=2856"}));
    EXPECT_EQ(OnlyBox().text, kNoTarget);
}

TEST_F(UpdateRunTest, OlderWindowsPutTheTitleOnALineOfItsOwn) {
    machine.SetWindowsVersion({5, 1, 2600, VER_PLATFORM_WIN32_NT, 3});
    Launch();
    EXPECT_EQ(OnlyBox().text, std::string(kTitle) + "\nのセットアップを行います。\n\n");
    Launch();
    EXPECT_EQ(machine.MessageBoxes().back().text,
              std::string(kTitle) + "\nはすでに適用済です。\n\nセットアップを終了します。\n");
}

TEST_F(UpdateRunTest, OnlyTheFiveNewestInstallerLogsStay) {
    for (int second = 0; second < 5; ++second) {
        machine.Files().WriteFile(
            "C:\\Users\\user\\AppData\\Local\\Temp\\Install_QernoE_2026_1207_00000" +
                std::to_string(second) + ".log",
            "");
    }
    machine.Programs().SetChildProgram([](sim::Machine& m, const sim::ProcessStart&) {
        m.Files().WriteFile(
            "C:\\Users\\user\\AppData\\Local\\Temp\\Install_QernoE_2026_1207_222438.log", "log");
        return DWORD{0};
    });
    Launch();
    EXPECT_FALSE(machine.Files().Exists(
        "C:\\Users\\user\\AppData\\Local\\Temp\\Install_QernoE_2026_1207_000000.log"));
    EXPECT_TRUE(machine.Files().Exists(
        "C:\\Users\\user\\AppData\\Local\\Temp\\Install_QernoE_2026_1207_222438.log"));
}

TEST_F(UpdateRunTest, TheWholeTraceOfASetupRun) {
    const std::int64_t created = sim::Clock::TicksFromCivil(2026, 11, 1, 0, 0, 0);
    machine.Files().WriteFile(std::string(test::kProgramFolder) + "Qerno.exe", "MZ");
    machine.Files().SetFileTimes(std::string(test::kProgramFolder) + "Qerno.exe", created, created);
    Launch();
    std::string trace = Trace();
    // The summary reads list every property; they are checked elsewhere.
    std::string compact;
    std::istringstream lines(trace);
    std::string line;
    bool inSummary = false;
    while (std::getline(lines, line)) {
        if (line.find("GetMspSummaryInformation-Start") != std::string::npos) {
            inSummary = true;
            compact += line + "\n";
            continue;
        }
        if (line.find("GetMspSummaryInformation-End") != std::string::npos) {
            inSummary = false;
        }
        if (!inSummary) {
            compact += line + "\n";
        }
    }
    const std::string expected = R"(QernoE_Update-Start 2026/12/07 22:24:38
    Check MSIKido
    Copy DatFile
    CopyDatFile-Start
        CopyFile1:C:\Media\Install.dat
        CopyFrom：C:\Media\Install.dat
        CopyTo  ：C:\Users\user\AppData\Local\Temp\tmp1A2B.tmp
    CopyDatFile-End
    Check WindowsInstaller2
        Check DllVer-Start
        Check DllVer-End
    InstMSP-Start
        GetMspTargetID-Start
            GetMspSummaryInformation-Start
            GetMspSummaryInformation-End
            Title     :Ortolan Qerno6 E Build 1234
            MSPGUID   :{AAAAAAAA-1111-2222-3333-000000001234}
            TargetGUID:{12345678-ABCD-EF01-2345-6789ABCDEF01}
        GetMspTargetID-End
        GetMSIProductInfo-Start
            Property:LocalPackage
            Value   :C:\Windows\Installer\3f2a1b.msi
        GetMSIProductInfo-End
        ChkInstall-Start
            C:\Windows\Installer\3f2a1b.msi
            ChkInstall-Start
                GetMSIProperty-Start
                    Property:DInstallVer
                    Data    :QernoE6 ALPHA
                GetMSIProperty-End
                Patch_ALPHA
                QernoE6_ALPHA_1234
                {5A5A5A5A-0001-0002-0003-000000000004}
            ChkInstall-End
            GetMspSummaryInformation-Start
            GetMspSummaryInformation-End
            C:\Media\MSP\QernoE6_ALPHA_1234.msp
            Code=2339
        ChkInstall-End
        GetMspBuildVersion-Start
            GetRecordString-Start
                Value:DBuildVersion
            GetRecordString-End
            GetRecordString-Start
                Value:6.0.1234
            GetRecordString-End
            GetMSIVersion-Start
                Version:6.0.1234
                GetMSIVersion-Start
                    Code=6
                    Code=0
                    Code=1234
                    Code=100664530
                GetMSIVersion-End
            GetMSIVersion-End
            BuildVer  :6.0.1234
            BuildVerDW:100664530
        GetMspBuildVersion-End
        GetMSIProperty-Start
            Property:ProductCode
            Data    :{12345678-ABCD-EF01-2345-6789ABCDEF01}
        GetMSIProperty-End
        GetPatchPackageCode-Start
        GetPatchPackageCode-End
        GetMSPInstMode
        Code=1
        Code=2816
        SetupPatch-Start
            CheckSignature-Start
                WinVerifyTrust：C:\Media\Setup.exe  Result=0x800B0100
                Signature Check：Not Required
            CheckSignature-End
            BackUpFile-Start
                GetMspTargetID-Start
                    GetMspSummaryInformation-Start
                    GetMspSummaryInformation-End
                    Title     :Ortolan Qerno6 E Build 1234
                    MSPGUID   :{AAAAAAAA-1111-2222-3333-000000001234}
                    TargetGUID:{12345678-ABCD-EF01-2345-6789ABCDEF01}
                GetMspTargetID-End
                2026/11/01 09:00:00
                Chk File：C:\Program Files (x86)\QernoE\Qerno.exe  2026/11/01 09:00:00
            BackUpFile-End
            ShellExe-Start
                EXE Path：C:\Windows\System32\msiexec.exe
                CmdLine ：/p "C:\Media\MSP\QernoE6_ALPHA_1234.msp" /l*v "C:\Users\user\AppData\Local\Temp\Install_QernoE_2026_1207_222438.log" REINSTALL=ALL REINSTALLMODE=vemus MERGEFRM=1 DATPATH="C:\Users\user\AppData\Local\Temp\tmp1A2B.tmp"
                Code=1
                Code=32832
                2026/12/07 22:24:38
                Process ExitCode=0
                2026/12/07 22:24:38
            ShellExe-End
        SetupPatch-End
    InstMSP-End
    Delete LogFile
    Delete DatFile
    Setup ExitCode=0
QernoE_Update-End 2026/12/07 22:24:38
)";
    // The file's lines end in CR LF; getline kept the CRs.
    std::string expectedCrLf;
    for (char ch : expected) {
        expectedCrLf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    }
    EXPECT_EQ(compact, expectedCrLf);
}

} // namespace
