// Every outcome of a whole run, in normal, silent and unattended mode: the exit code a
// deployment tool reads, the "Setup ExitCode" trace line, and the box a person sees (or, with
// nobody to answer it, the trace line that stands in for it).
#include "app/installer_atom.h"
#include "app/launcher_lock.h"
#include "os/windows_version.h"

#include "support/compiled_resources.h"
#include "support/trace_file.h"
#include "support/update_machine.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using test::UpdateMachine;

constexpr char kTitle[] = "Ortolan Qerno6 E Build 1234";
constexpr char kSetupBox[] = "Ortolan Qerno6 E Build 1234のセットアップを行います。\n\n";
constexpr char kAppliedBox[] =
    "Ortolan Qerno6 E Build 1234はすでに適用済です。\n\nセットアップを終了します。\n";
constexpr char kNoTargetBox[] =
    "アップデート対象の製品が存在しません。\n\nセットアップを終了します。\n";
constexpr char kLaunchFailureBox[] = "インストーラの起動に失敗しました。";

void EnginesDisagree(UpdateMachine& m, sim::UserAction answer) {
    test::LoadCompiledResources(m.machine);
    m.machine.Files().SetFileVersion(test::kMsiexec, 4, 5, 6001, 1);
    m.machine.Files().SetFileVersion("C:\\Windows\\System32\\msi.dll", 3, 1, 4000, 1);
    m.machine.Ui().Script({answer});
}

void InstallerEndsWith(UpdateMachine& m, DWORD code) {
    m.machine.Programs().SetChildProgram(
        [code](sim::Machine&, const sim::ProcessStart&) { return code; });
}

struct Outcome {
    const char* name;
    std::function<void(UpdateMachine&)> arrange;
    int exitCode;
    int unattendedExitCode; // where unattended mode ends otherwise
    const char* box;        // nullptr: no box
};

const Outcome kOutcomes[] = {
    {"applied", [](UpdateMachine&) {}, 0, 0, kSetupBox},
    {"installer refused the patch", [](UpdateMachine& m) { InstallerEndsWith(m, 1603); }, 1603,
     1603, kSetupBox},
    {"restart due", [](UpdateMachine& m) { InstallerEndsWith(m, 3010); }, 3010, 3010, kSetupBox},
    {"installer crashed", [](UpdateMachine& m) { InstallerEndsWith(m, 0xC0000005); },
     static_cast<int>(0xC0000005), static_cast<int>(0xC0000005), kSetupBox},
    {"installer not started",
     [](UpdateMachine& m) { m.machine.Programs().SetOutcome(sim::Processes::Outcome::Refused); },
     1603, 1603, kSetupBox},
    {"no msiexec.exe", [](UpdateMachine&) { DeleteFileA(test::kMsiexec); }, 1603, 1603, kSetupBox},
    {"a patch for 14 products, the installed one last",
     [](UpdateMachine& m) {
         std::string targets;
         for (int n = 1; n <= 13; ++n) {
             targets += "{00000000-0000-0000-0000-0000000000" + std::to_string(10 + n) + "};";
         }
         m.AddPatch("QernoE6_ALPHA_1234", kTitle, "{AAAAAAAA-1111-2222-3333-000000001234}",
                    "6.0.1234", targets + test::kProductCode);
     },
     0, 0, kSetupBox},
    {"already applied",
     [](UpdateMachine& m) { m.ApplyEarlier("{BBBBBBBB-1111-2222-3333-000000001234}", "6.0.1234"); },
     0, 0, kAppliedBox},
    {"not listed, not newer (2845)",
     [](UpdateMachine& m) {
         m.WriteSettings("[Patch_ALPHA]\r\nOther={00000000-0000-0000-0000-000000000009}\r\n");
         m.InstallProduct("QernoE6 ALPHA", "6.0.1234");
     },
     0, 0, kAppliedBox},
    {"not installed (2771)",
     [](UpdateMachine& m) {
         m.AddPatch("QernoE6_ALPHA_1234", kTitle, "{AAAAAAAA-1111-2222-3333-000000001234}",
                    "6.0.1234", "{00000000-0000-0000-0000-000000000001}");
     },
     1642, 1642, kNoTargetBox},
    {"not applicable (2856)",
     [](UpdateMachine& m) {
         m.AddPatch("QernoE6_ALPHA_1234", kTitle, "{AAAAAAAA-1111-2222-3333-000000001234}", "");
     },
     1642, 1642, kNoTargetBox},
    {"no MSP folder (2712)",
     [](UpdateMachine&) {
         DeleteFileA("C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp");
         RemoveDirectoryA("C:\\Media\\MSP");
     },
     1619, 1619, kLaunchFailureBox},
    {"product installer running", [](UpdateMachine& m) { m.machine.AddAtom(kInstallerAtomName); },
     1618, 1618, nullptr},
    {"another launcher running",
     [](UpdateMachine&) { CreateMutexA(nullptr, TRUE, kLauncherMutexName); }, 1618, 1618, nullptr},
    {"another account's launcher running",
     [](UpdateMachine& m) { m.machine.DenyMutex(kLauncherMutexName); }, 1618, 1618, nullptr},
    {"engine files disagree, answered No",
     [](UpdateMachine& m) { EnginesDisagree(m, sim::UserAction::No); }, 1602, 1603, nullptr},
    {"engine files disagree, no dialog",
     [](UpdateMachine& m) {
         EnginesDisagree(m, sim::UserAction::No);
         m.machine.Ui().LoadResources("");
     },
     1603, 1603, nullptr},
};

TEST(RunOutcome, ExitCodeTraceAndBoxInEveryMode) {
    for (const Outcome& outcome : kOutcomes) {
        for (const char* cmdLine : {"", "/silent1", "/silent2"}) {
            SCOPED_TRACE(std::string(outcome.name) + " with \"" + cmdLine + "\"");
            ProcessWindowsVersionTest() = CWindowsVersionTest{};
            UpdateMachine m;
            outcome.arrange(m);
            const bool unattended = std::string(cmdLine) == "/silent2";
            const int expected = unattended ? outcome.unattendedExitCode : outcome.exitCode;
            EXPECT_EQ(m.Launch(cmdLine), expected);

            const std::string trace = m.Trace();
            // Unsigned, as "Process ExitCode" writes it.
            const std::string end =
                "    Setup ExitCode=" + std::to_string(static_cast<DWORD>(expected)) +
                "\r\nQernoE_Update-End 2026/12/07 22:24:38\r\n";
            EXPECT_EQ(trace.substr(trace.size() - std::min(trace.size(), end.size())), end);

            const bool boxTraced = trace.find("MessageBox：") != std::string::npos;
            if (outcome.box == nullptr) {
                EXPECT_TRUE(m.machine.MessageBoxes().empty());
                EXPECT_FALSE(boxTraced);
            } else if (unattended) {
                EXPECT_TRUE(m.machine.MessageBoxes().empty());
                std::string escaped;
                for (const char* c = outcome.box; *c != '\0'; ++c) {
                    escaped += *c == '\n' ? std::string("\\n") : std::string(1, *c);
                }
                EXPECT_NE(trace.find("MessageBox：Ortolan Qerno6 E：" + escaped + "\r\n"),
                          std::string::npos)
                    << trace;
            } else {
                ASSERT_EQ(m.machine.MessageBoxes().size(), 1u);
                EXPECT_EQ(m.machine.MessageBoxes()[0].text, outcome.box);
                EXPECT_FALSE(boxTraced);
            }
            if (unattended) {
                EXPECT_TRUE(m.machine.Ui().Dialogs().empty());
            }
            EXPECT_EQ(m.machine.Programs().OpenHandles(), 0u);
        }
    }
}

TEST(RunOutcome, ASecondLauncherDoesNothingAndTheFirstReleasesTheLock) {
    UpdateMachine m;
    const std::string oldLog =
        "C:\\Users\\user\\AppData\\Local\\Temp\\Install_QernoE_2020_0101_0.log";
    for (int n = 0; n < 6; ++n) {
        m.machine.Files().WriteFile(oldLog + std::to_string(n), "");
    }
    HANDLE first = CreateMutexA(nullptr, TRUE, kLauncherMutexName);
    EXPECT_EQ(m.Launch(), 1618);
    EXPECT_EQ(m.Trace(), "QernoE_Update-Start 2026/12/07 22:24:38\r\n    Check MSIKido\r\n"
                         "    Setup Running\r\n    Setup ExitCode=1618\r\n"
                         "QernoE_Update-End 2026/12/07 22:24:38\r\n");
    EXPECT_TRUE(m.machine.Programs().Starts().empty());
    EXPECT_FALSE(m.machine.Files().Exists("C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp"));
    EXPECT_TRUE(m.machine.Files().Exists(oldLog + "0"));
    EXPECT_EQ(m.machine.OpenMutexHandles(), 1u);

    // Once the first has ended, a run goes through and lets go of the lock at its end.
    ReleaseMutex(first);
    CloseHandle(first);
    EXPECT_EQ(m.Launch(), 0);
    EXPECT_EQ(m.machine.OpenMutexHandles(), 0u);
}

TEST(RunOutcome, TheLockIsOwnedNotOnlyHeld) {
    struct Row {
        const char* name;
        std::function<void()> others; // what other launchers left
        bool taken;
        const char* traced; // nullptr: nothing
    };
    const Row rows[] = {
        {"no other launcher", [] {}, true, nullptr},
        // A launcher that lost still holds a handle until it ends; its winner has ended.
        {"a losing launcher still ending", [] { CreateMutexA(nullptr, FALSE, kLauncherMutexName); },
         true, nullptr},
        {"a running launcher", [] { CreateMutexA(nullptr, TRUE, kLauncherMutexName); }, false,
         nullptr},
        // Ended from outside while it owned the lock: its handles closed without a release.
        {"a launcher ended while it ran",
         [] {
             HANDLE owner = CreateMutexA(nullptr, TRUE, kLauncherMutexName);
             CreateMutexA(nullptr, FALSE, kLauncherMutexName);
             CloseHandle(owner);
         },
         true, "Setup Lock Abandoned"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UpdateMachine m;
        row.others();
        const std::size_t othersHandles = m.machine.OpenMutexHandles();
        std::string trace;
        {
            COwnedMutex lock;
            bool taken = false;
            trace = test::TraceOf(m.machine, [&] { taken = TakeLauncherLock(lock); });
            EXPECT_EQ(taken, row.taken);
            // A launcher that lost lets go of the name at once, not at its end.
            EXPECT_EQ(m.machine.OpenMutexHandles(), othersHandles + (row.taken ? 1 : 0));
            EXPECT_EQ(m.machine.IsMutexOwned(kLauncherMutexName), true);
        }
        EXPECT_EQ(trace.find("Setup Lock Abandoned") != std::string::npos, row.traced != nullptr)
            << trace;
        EXPECT_EQ(m.machine.IsMutexOwned(kLauncherMutexName), !row.taken);
    }
}

TEST(RunOutcome, NoSystemBoxWaitsInAnUnattendedRunNorItsInstaller) {
    struct Row {
        const char* cmdLine;
        UINT mode;
    };
    const Row rows[] = {
        {"", SEM_FAILCRITICALERRORS},
        {"/silent1", SEM_FAILCRITICALERRORS},
        {"/silent2", SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.cmdLine);
        UpdateMachine m;
        EXPECT_EQ(m.Launch(row.cmdLine), 0);
        EXPECT_EQ(m.machine.ErrorMode(), row.mode);
        ASSERT_EQ(m.machine.Programs().Starts().size(), 1u);
        EXPECT_EQ(m.machine.Programs().Starts()[0].errorMode, row.mode);
    }
}

TEST(RunOutcome, UnattendedStartsTheInstallerWithoutRestartOrShellErrorBox) {
    UpdateMachine m;
    m.Launch("/silent2 LOGFILENAME=C:\\Logs\\a.log");
    ASSERT_EQ(m.machine.Programs().Starts().size(), 1u);
    const sim::ProcessStart& start = m.machine.Programs().Starts()[0];
    EXPECT_EQ(start.parameters, "/p \"C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp\" /l*v "
                                "\"C:\\Logs\\a.log\" REINSTALL=ALL REINSTALLMODE=vemus /qn "
                                "REBOOT=ReallySuppress MERGEFRM=1 "
                                "DATPATH=\"C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp\"");
    EXPECT_EQ(start.mask, 0x8440u);
}

} // namespace
