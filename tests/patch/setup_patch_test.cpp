// The installer command line byte for byte in every mode, and the apply step: backup, then
// start, and only from the system folder.
#include "patch/setup_patch.h"
#include "patch/update_decision.h"
#include "run/launch_context.h"

#include "support/trace_file.h"
#include "support/update_machine.h"

#include <gtest/gtest.h>

namespace {

TEST(InstallerCommandLine, EveryMode) {
    struct Row {
        const char* name;
        int silentMode;
        const char* datPath;
        const char* cmdLine;
        const char* expected;
    };
    const Row rows[] = {
        {"normal, nothing else", 0, "", "",
         "/p \"C:\\My Media\\MSP\\a b.msp\" /l*v \"C:\\L\\x.log\" REINSTALL=ALL "
         "REINSTALLMODE=vemus MERGEFRM=1"},
        // The launcher's whole command line goes on to the installer, last.
        {"normal, settings copy and a command line", 0, "C:\\Temp\\tmp1.tmp",
         "REBOOT=ReallySuppress /qb",
         "/p \"C:\\My Media\\MSP\\a b.msp\" /l*v \"C:\\L\\x.log\" REINSTALL=ALL "
         "REINSTALLMODE=vemus MERGEFRM=1 DATPATH=\"C:\\Temp\\tmp1.tmp\" REBOOT=ReallySuppress /qb"},
        {"silent: no user interface, never the command line", 1, "C:\\Temp Files\\tmp1.tmp",
         "/silent1 EXTRA=1",
         "/p \"C:\\My Media\\MSP\\a b.msp\" /l*v \"C:\\L\\x.log\" REINSTALL=ALL "
         "REINSTALLMODE=vemus /qn MERGEFRM=1 DATPATH=\"C:\\Temp Files\\tmp1.tmp\""},
        {"unattended: and no restart", 2, "", "/silent2 EXTRA=1",
         "/p \"C:\\My Media\\MSP\\a b.msp\" /l*v \"C:\\L\\x.log\" REINSTALL=ALL "
         "REINSTALLMODE=vemus /qn REBOOT=ReallySuppress MERGEFRM=1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        tagLaunchContext context;
        context.nSilentMode = row.silentMode;
        context.strDatPath = row.datPath;
        context.strCmdLine = row.cmdLine;
        EXPECT_EQ(BuildInstallerCommandLine(context, "C:\\My Media\\MSP\\a b.msp", "C:\\L\\x.log"),
                  row.expected);
    }
}

class SetupPatchTest : public ::testing::Test, public test::UpdateMachine {
protected:
    int Apply() {
        tagUpdateDecision decision;
        decision.listing.strPatchPath = "C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp";
        decision.strProductCode = test::kProductCode;
        return SetupPatch(context, decision);
    }

    tagLaunchContext context;
};

TEST_F(SetupPatchTest, TheBackupComesBeforeTheStart) {
    const std::string late = std::string(test::kProgramFolder) + "late.dll";
    machine.Files().WriteFile(late, "x");
    machine.Files().SetFileTimes(late, machine.Time().UniversalTicks() + 1'296'000LL * 10'000'000,
                                 0);
    EXPECT_EQ(Apply(), 0);
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
        const std::string trace = test::TraceOf(machine, [&] { exitCode = Apply(); });
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
