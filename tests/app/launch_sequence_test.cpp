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

class LaunchTest : public ::testing::Test {
protected:
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

const std::vector<std::string> kFullRun = {kStart,
                                           "    Check MSIKido",
                                           "    Copy DatFile",
                                           "    Check WindowsInstaller2",
                                           "    Delete LogFile",
                                           "    Delete DatFile",
                                           kEnd};

TEST_F(LaunchTest, ARunWalksEveryPhaseInOrder) {
    Launch();
    EXPECT_EQ(ReadTrace(machine), CrLfLines(kFullRun));
    EXPECT_EQ(app.m_strExeDir, "C:\\Setup\\");
}

TEST_F(LaunchTest, WhileTheProductInstallerRunsNothingIsDone) {
    machine.AddAtom(kInstallerAtomName);
    Launch();
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, "    Check MSIKido", kEnd}));
}

TEST_F(LaunchTest, HeldShiftIsNotedAndChangesNothingElse) {
    machine.SetKeyDown(VK_SHIFT, true);
    Launch();
    std::vector<std::string> expected = kFullRun;
    expected.insert(expected.begin() + 1, "    Shift Kido");
    EXPECT_EQ(ReadTrace(machine), CrLfLines(expected));
}

TEST_F(LaunchTest, HeldShiftWithTheInstallerRunning) {
    machine.SetKeyDown(VK_SHIFT, true);
    machine.AddAtom(kInstallerAtomName);
    Launch();
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, "    Shift Kido", "    Check MSIKido", kEnd}));
}

TEST_F(LaunchTest, ASecondRunIsAppendedAfterAnEmptyLine) {
    Launch();
    machine.Time().AdvanceSeconds(60);
    Launch();
    std::vector<std::string> expected = kFullRun;
    expected.push_back("");
    expected.push_back("QernoE_Update-Start 2026/12/07 22:25:38");
    expected.insert(expected.end(), kFullRun.begin() + 1, kFullRun.end() - 1);
    expected.push_back("QernoE_Update-End 2026/12/07 22:25:38");
    EXPECT_EQ(ReadTrace(machine), CrLfLines(expected));
}

TEST_F(LaunchTest, NoTemporaryFolderMeansARunWithoutTrace) {
    machine.SetTempPath(std::nullopt);
    Launch();
    EXPECT_FALSE(machine.Files().Exists(kTracePath));
    EXPECT_EQ(app.m_strExeDir, "C:\\Setup\\");
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
    EXPECT_EQ(ReadTrace(machine, "C:\\Documents and Settings\\taro\\Local Settings\\Temp\\"
                                 "Install_Setup_Trace.log"),
              CrLfLines(kFullRun));
}

TEST_F(LaunchTest, ALongFormTooLongForTheBufferLeavesTheFolderAsGiven) {
    const std::string longName(250, 'L');
    machine.Files().CreateFolder("C:\\" + longName + "\\Temp");
    machine.Files().SetShortName("C:\\" + longName, "LLLLLL~1");
    machine.SetTempPath("C:\\LLLLLL~1\\Temp\\");
    Launch();
    EXPECT_EQ(ReadTrace(machine, "C:\\LLLLLL~1\\Temp\\Install_Setup_Trace.log"),
              CrLfLines(kFullRun));
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
    EXPECT_EQ(app.m_strExeDir, "C:\\Setup\\");
}

TEST_F(LaunchTest, ExecutableFolderKeepsDoubleByteNamesWhole) {
    struct Row {
        std::string modulePath;
        std::string exeDir;
    };
    const Row rows[] = {
        {"C:\\\x95\x5C\\Setup.exe", "C:\\\x95\x5C\\"}, // C:\表\Setup.exe
        {"C:\\a\\\x83\x5CSetup.exe", "C:\\a\\"},       // C:\a\ソSetup.exe
        {"Setup.exe", ""},
        {"C:\\" + std::string(300, 'b') + "\\Setup.exe", ""}, // cut by the buffer: failed
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.modulePath);
        machine.SetModulePath(row.modulePath);
        Launch();
        EXPECT_EQ(app.m_strExeDir, row.exeDir);
    }
}

TEST_F(LaunchTest, CommandLineIsReadIntoTheApplicationObjectEachRun) {
    Launch("/silent1 LOGFILENAME=\"C:\\Logs\\a b.log\"");
    EXPECT_EQ(app.m_nSilentMode, 1);
    EXPECT_EQ(app.m_strLogFileName, "C:\\Logs\\a b.log");
    Launch("");
    EXPECT_EQ(app.m_nSilentMode, 0);
    EXPECT_EQ(app.m_strLogFileName, "");
    Launch("/SILENT1 LOGFILENAME=C:\\x.log");
    EXPECT_EQ(app.m_nSilentMode, 0);
    EXPECT_EQ(app.m_strLogFileName, "");
}

TEST_F(LaunchTest, TheTraceFileStaysReadableToOthersAndIsReleasedAfterTheRun) {
    Launch();
    EXPECT_NO_THROW(machine.Files().HoldOpen(kTracePath, GENERIC_WRITE, 0));
}

} // namespace
