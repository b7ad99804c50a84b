// Whole launches against the simulated machine: what the trace shows and what the application
// object records.
#include "app/installer_atom.h"
#include "app/setup_exe_app.h"
#include "log/trace_log.h"
#include "os/sim/machine.h"
#include "support/trace_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using test::CrLfLines;
using test::kEnd;
using test::kStart;
using test::kTracePath;
using test::ReadTrace;

constexpr char kTemp[] = "C:\\Users\\user\\AppData\\Local\\Temp\\";
constexpr char kSettings[] = "[Install]\r\nURL=https://example.com/\r\n";

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override { machine.Files().WriteFile("C:\\Setup\\Install.dat", kSettings); }

    void Launch(std::string cmdLine = "") {
        m_cmdLine = std::move(cmdLine);
        app.m_lpCmdLine = m_cmdLine.data();
        EXPECT_EQ(app.InitInstance(), FALSE);
        EXPECT_EQ(g_pTraceLog, nullptr);
    }

    sim::Machine machine;
    CSetupExeApp app;

private:
    std::string m_cmdLine;
};

// The lines of a whole run whose settings copy is `copy`.
std::vector<std::string> FullRun(const std::string& copy = std::string(kTemp) + "tmp1A2B.tmp",
                                 const std::string& start = kStart, const std::string& end = kEnd) {
    return {start, "    Check MSIKido", "    Copy DatFile", "    CopyDatFile-Start",
            "        CopyFile1:C:\\Setup\\Install.dat", "        CopyFrom：C:\\Setup\\Install.dat",
            "        CopyTo  ：" + copy, "    CopyDatFile-End", "    Check WindowsInstaller2",
            // No engine file in the simulated system folder: nothing to compare.
            "        Check DllVer-Start", "        Check DllVer-End",
            // No MSP\ beside the launcher: the launch-failure box.
            "    InstMSP-Start", "        Code=2712", "    InstMSP-End", "    Delete LogFile",
            "    Delete DatFile", "    Setup ExitCode=1619", end};
}

TEST_F(LaunchTest, ARunWalksEveryPhaseInOrder) {
    Launch();
    EXPECT_EQ(ReadTrace(machine), CrLfLines(FullRun()));
    ASSERT_EQ(machine.MessageBoxes().size(), 1u);
    EXPECT_EQ(machine.MessageBoxes()[0].caption, "Ortolan Qerno6 E");
    EXPECT_EQ(machine.MessageBoxes()[0].text, "インストーラの起動に失敗しました。");
    EXPECT_EQ(machine.MessageBoxes()[0].style, 0x30u);
    EXPECT_EQ(app.m_context.strExeDir, "C:\\Setup\\");
    EXPECT_EQ(app.m_context.strDatPath, std::string(kTemp) + "tmp1A2B.tmp");
    // The settings copy is gone at the end; the original stays.
    EXPECT_FALSE(machine.Files().Exists(app.m_context.strDatPath));
    EXPECT_EQ(machine.Files().ReadFile("C:\\Setup\\Install.dat"), kSettings);
}

TEST_F(LaunchTest, OldInstallerLogsArePrunedAtTheEnd) {
    for (int second = 0; second < 7; ++second) {
        machine.Files().WriteFile(std::string(kTemp) + "Install_QernoE_2026_1207_22240" +
                                      std::to_string(second) + ".log",
                                  "");
    }
    Launch();
    EXPECT_FALSE(
        machine.Files().Exists(std::string(kTemp) + "Install_QernoE_2026_1207_222400.log"));
    EXPECT_FALSE(
        machine.Files().Exists(std::string(kTemp) + "Install_QernoE_2026_1207_222401.log"));
    EXPECT_TRUE(machine.Files().Exists(std::string(kTemp) + "Install_QernoE_2026_1207_222402.log"));
}

TEST_F(LaunchTest, WithoutSettingsTheRunGoesOn) {
    DeleteFileA("C:\\Setup\\Install.dat");
    Launch();
    EXPECT_EQ(
        ReadTrace(machine),
        CrLfLines({kStart, "    Check MSIKido", "    Copy DatFile", "    CopyDatFile-Start",
                   "        CopyFile1:C:\\Setup\\Install.dat", "        Install.dat Err",
                   "    CopyDatFile-End", "    Check WindowsInstaller2",
                   "        Check DllVer-Start", "        Check DllVer-End", "    InstMSP-Start",
                   "        Code=2712", "    InstMSP-End", "    Delete LogFile",
                   "    Delete DatFile", "    Setup ExitCode=1619", kEnd}));
    EXPECT_EQ(app.m_context.strDatPath, "");
}

TEST_F(LaunchTest, WhileTheProductInstallerRunsNothingIsDone) {
    machine.AddAtom(kInstallerAtomName);
    for (int second = 0; second < 7; ++second) {
        machine.Files().WriteFile(std::string(kTemp) + "Install_QernoE_2026_1207_22240" +
                                      std::to_string(second) + ".log",
                                  "");
    }
    Launch();
    EXPECT_EQ(ReadTrace(machine),
              CrLfLines({kStart, "    Check MSIKido", "    Setup ExitCode=1618", kEnd}));
    EXPECT_EQ(app.ExitInstance(), 1618);
    EXPECT_TRUE(machine.MessageBoxes().empty());
    EXPECT_EQ(app.m_context.strDatPath, "");
    EXPECT_FALSE(machine.Files().Exists(std::string(kTemp) + "tmp1A2B.tmp"));
    EXPECT_TRUE(machine.Files().Exists(std::string(kTemp) + "Install_QernoE_2026_1207_222400.log"));
}

TEST_F(LaunchTest, HeldShiftIsNotedAndChangesNothingElse) {
    machine.SetKeyDown(VK_SHIFT, true);
    Launch();
    std::vector<std::string> expected = FullRun();
    expected.insert(expected.begin() + 1, "    Shift Kido");
    EXPECT_EQ(ReadTrace(machine), CrLfLines(expected));
}

TEST_F(LaunchTest, HeldShiftWithTheInstallerRunning) {
    machine.SetKeyDown(VK_SHIFT, true);
    machine.AddAtom(kInstallerAtomName);
    Launch();
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, "    Shift Kido", "    Check MSIKido",
                                             "    Setup ExitCode=1618", kEnd}));
}

TEST_F(LaunchTest, ASecondRunIsAppendedAfterAnEmptyLine) {
    Launch();
    machine.Time().AdvanceSeconds(60);
    Launch();
    std::vector<std::string> expected = FullRun();
    expected.push_back("");
    const std::vector<std::string> second =
        FullRun(std::string(kTemp) + "tmp1A2C.tmp", "QernoE_Update-Start 2026/12/07 22:25:38",
                "QernoE_Update-End 2026/12/07 22:25:38");
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(ReadTrace(machine), CrLfLines(expected));
}

TEST_F(LaunchTest, NoTemporaryFolderMeansARunWithoutTrace) {
    machine.SetTempPath(std::nullopt);
    Launch();
    EXPECT_FALSE(machine.Files().Exists(kTracePath));
    EXPECT_EQ(app.m_context.strExeDir, "C:\\Setup\\");
}

TEST_F(LaunchTest, ATemporaryFolderTooLongForTheBufferMeansNoTrace) {
    const std::string longFolder = "C:\\" + std::string(270, 'a');
    machine.Files().CreateFolder(longFolder);
    machine.SetTempPath(longFolder + "\\");
    Launch();
    EXPECT_FALSE(machine.Files().Exists(longFolder + "\\Install_Setup_Trace.log"));
}

TEST_F(LaunchTest, TheTraceGoesToTheLongFormOfTheTemporaryFolder) {
    machine.Files().CreateFolder("C:\\Documents and Settings\\taro\\Local Settings\\Temp");
    machine.Files().SetShortName("C:\\Documents and Settings", "DOCUME~1");
    machine.Files().SetShortName("C:\\Documents and Settings\\taro\\Local Settings", "LOCALS~1");
    machine.SetTempPath("C:\\DOCUME~1\\taro\\LOCALS~1\\Temp\\");
    Launch();
    const std::string folder = "C:\\Documents and Settings\\taro\\Local Settings\\Temp\\";
    EXPECT_EQ(ReadTrace(machine, folder + "Install_Setup_Trace.log"),
              CrLfLines(FullRun(folder + "tmp1A2B.tmp")));
}

TEST_F(LaunchTest, ALongFormTooLongForTheBufferLeavesTheFolderAsGiven) {
    const std::string longName(250, 'L');
    machine.Files().CreateFolder("C:\\" + longName + "\\Temp");
    machine.Files().SetShortName("C:\\" + longName, "LLLLLL~1");
    machine.SetTempPath("C:\\LLLLLL~1\\Temp\\");
    Launch();
    // The settings copy, with its own buffer of 520, is made in the long form.
    EXPECT_EQ(ReadTrace(machine, "C:\\LLLLLL~1\\Temp\\Install_Setup_Trace.log"),
              CrLfLines(FullRun("C:\\" + longName + "\\Temp\\tmp1A2B.tmp")));
}

TEST_F(LaunchTest, ATemporaryFolderWithoutLongFormIsUsedAsGiven) {
    // GetTempPathA does not check that the folder exists; the long form then cannot be had.
    machine.SetTempPath("C:\\Gone\\");
    Launch();
    EXPECT_FALSE(machine.Files().Exists("C:\\Gone"));
}

TEST_F(LaunchTest, AFolderInPlaceOfTheTraceFileStillRunsEveryPhase) {
    machine.Files().CreateFolder(kTracePath);
    Launch();
    EXPECT_TRUE(PathIsDirectoryA(kTracePath));
    EXPECT_EQ(app.m_context.strExeDir, "C:\\Setup\\");
}

TEST_F(LaunchTest, ExecutableFolderKeepsDoubleByteNamesWholeAndIsNeverTheCurrentFolder) {
    // Media in the current folder that must never be taken for the launcher's own.
    machine.Files().WriteFile("C:\\Install.dat", kSettings);
    machine.Files().CreateFolder("C:\\MSP");
    const std::string deep = "C:\\" + std::string(300, 'b') + "\\";
    struct Row {
        std::string modulePath;
        std::string exeDir;
        std::string lastLines; // before the run's end line
    };
    const Row rows[] = {
        {"C:\\\x95\x5C\\Setup.exe", "C:\\\x95\x5C\\", "Setup ExitCode=1619"}, // C:\表\Setup.exe
        {"C:\\a\\\x83\x5CSetup.exe", "C:\\a\\", "Setup ExitCode=1619"},       // C:\a\ソSetup.exe
        {deep + "Setup.exe", deep, "Setup ExitCode=1619"},                    // beyond MAX_PATH
        {"Setup.exe", "", "Code=1190\r\n    Check MSIKido\r\n    Setup ExitCode=1619"},
        {deep + std::string(32768, 'c') + "\\Setup.exe", "",
         "GetModuleFileName Err：ErrCode = 122,ErrMsg = The data area passed to a system call is "
         "too small.\r\n    Check MSIKido\r\n    Setup ExitCode=1619"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.modulePath.substr(0, 40));
        machine.SetModulePath(row.modulePath);
        DeleteFileA(kTracePath);
        Launch();
        EXPECT_EQ(app.m_context.strExeDir, row.exeDir);
        EXPECT_EQ(app.ExitInstance(), 1619);
        const std::string trace = ReadTrace(machine);
        EXPECT_NE(trace.find("    " + row.lastLines + "\r\n" + kEnd), std::string::npos) << trace;
        EXPECT_EQ(trace.find("CopyFile1:Install.dat"), std::string::npos);
        EXPECT_EQ(machine.MessageBoxes().back().text, "インストーラの起動に失敗しました。");
    }
}

TEST_F(LaunchTest, CommandLineIsReadIntoTheApplicationObjectEachRun) {
    Launch("/silent1 LOGFILENAME=\"C:\\Logs\\a b.log\"");
    EXPECT_EQ(app.m_context.nSilentMode, 1);
    EXPECT_EQ(app.m_context.strLogFileName, "C:\\Logs\\a b.log");
    Launch("");
    EXPECT_EQ(app.m_context.nSilentMode, 0);
    EXPECT_EQ(app.m_context.strLogFileName, "");
    Launch("/SILENT1 LOGFILENAME=C:\\x.log");
    EXPECT_EQ(app.m_context.nSilentMode, 0);
    EXPECT_EQ(app.m_context.strLogFileName, "");
}

TEST_F(LaunchTest, TheTraceFileStaysReadableToOthersAndIsReleasedAfterTheRun) {
    Launch();
    EXPECT_NO_THROW(machine.Files().HoldOpen(kTracePath, GENERIC_WRITE, 0));
}

} // namespace
