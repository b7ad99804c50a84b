// The installer command line byte for byte, and the order backup, then start.
#include "patch/setup_patch.h"

#include "support/trace_file.h"
#include "support/update_machine.h"

#include <gtest/gtest.h>

namespace {

class SetupPatchTest : public ::testing::Test, public test::UpdateMachine {
protected:
    std::string CommandLine(const std::string& patch) {
        SetupPatch(app, patch);
        EXPECT_FALSE(machine.Programs().Starts().empty());
        return machine.Programs().Starts().empty()
                   ? ""
                   : machine.Programs().Starts().back().parameters.value_or("<none>");
    }

    CSetupExeApp app;
    char m_cmdLine[64] = "";
};

TEST_F(SetupPatchTest, InteractiveWithoutSettingsCopyOrCommandLineEndsAtMergeFrm) {
    app.m_lpCmdLine = m_cmdLine;
    EXPECT_EQ(CommandLine("C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp"),
              "/p \"C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp\" /l*v "
              "\"C:\\Users\\user\\AppData\\Local\\Temp\\Install_QernoE_2026_1207_222438.log\" "
              "REINSTALL=ALL REINSTALLMODE=vemus MERGEFRM=1");
}

TEST_F(SetupPatchTest, SilentWithoutALogNameUsesTheFixedPathAndNeverTheCommandLine) {
    std::snprintf(m_cmdLine, sizeof m_cmdLine, "/silent1 EXTRA=1");
    app.m_lpCmdLine = m_cmdLine;
    app.m_nSilentMode = 1;
    app.m_strDatPath = "C:\\Temp Files\\tmp1.tmp";
    EXPECT_EQ(CommandLine("C:\\My Media\\MSP\\a b.msp"),
              "/p \"C:\\My Media\\MSP\\a b.msp\" /l*v \"C:\\NimbraInstallLog.log\" "
              "REINSTALL=ALL REINSTALLMODE=vemus /qn MERGEFRM=1 "
              "DATPATH=\"C:\\Temp Files\\tmp1.tmp\"");
}

TEST_F(SetupPatchTest, InteractiveHandsOnTheLaunchersCommandLine) {
    std::snprintf(m_cmdLine, sizeof m_cmdLine, "REBOOT=ReallySuppress /qb");
    app.m_lpCmdLine = m_cmdLine;
    app.m_strDatPath = "C:\\Temp\\tmp1.tmp";
    const std::string line = CommandLine("C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp");
    EXPECT_EQ(line.substr(line.find("REINSTALL=")),
              "REINSTALL=ALL REINSTALLMODE=vemus MERGEFRM=1 DATPATH=\"C:\\Temp\\tmp1.tmp\" "
              "REBOOT=ReallySuppress /qb");
}

TEST_F(SetupPatchTest, TheBackupComesBeforeTheStart) {
    const std::string late = std::string(test::kProgramFolder) + "late.dll";
    machine.Files().WriteFile(late, "x");
    machine.Files().SetFileTimes(late, machine.Time().UniversalTicks() + 1'296'000LL * 10'000'000,
                                 0);
    SetupPatch(app, "C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp");
    const auto& events = machine.Events();
    const auto move = std::find(events.begin(), events.end(), "move " + late);
    const auto start = std::find_if(events.begin(), events.end(),
                                    [](const std::string& e) { return e.rfind("start", 0) == 0; });
    ASSERT_NE(move, events.end());
    ASSERT_NE(start, events.end());
    EXPECT_LT(move, start);
}

TEST_F(SetupPatchTest, TheInstallerComesFromTheSystemFolderOrNothingStarts) {
    const std::string late = std::string(test::kProgramFolder) + "late.dll";
    machine.Files().WriteFile(late, "x");
    machine.Files().SetFileTimes(late, machine.Time().UniversalTicks() + 1'296'000LL * 10'000'000,
                                 0);
    // An msiexec.exe in the current folder must never be the one that runs.
    machine.Files().WriteFile("msiexec.exe", "planted");
    struct Row {
        const char* name;
        bool shellFails;
        bool kernelFails;
        int exitCode;
    };
    const Row rows[] = {
        {"the shell answers", false, false, 0},
        {"only the kernel answers", true, false, 0},
        {"neither answers", true, true, 1603},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        machine.SetShellFolderFails(row.shellFails);
        machine.SetSystemFolder(
            row.kernelFails ? std::nullopt : std::optional<std::string>("C:\\Windows\\System32"));
        const std::size_t starts = machine.Programs().Starts().size();
        int exitCode = -1;
        const std::string trace = test::TraceOf(
            machine, [&] { exitCode = SetupPatch(app, "C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp"); });
        EXPECT_EQ(exitCode, row.exitCode);
        if (row.exitCode == 0) {
            ASSERT_EQ(machine.Programs().Starts().size(), starts + 1);
            EXPECT_EQ(machine.Programs().Starts().back().file,
                      std::string("\"") + test::kMsiexec + "\"");
        } else {
            EXPECT_EQ(machine.Programs().Starts().size(), starts);
            EXPECT_NE(trace.find("GetSystemDirectory Err"), std::string::npos) << trace;
            EXPECT_EQ(trace.find("BackUpFile"), std::string::npos);
            EXPECT_EQ(machine.Files().ReadFile(late), "x");
        }
    }
}

} // namespace
