// Files moved aside before the installer runs go back to their own names when it fails, and
// after a success when the installer did not lay them again.
#include "support/update_machine.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using test::kProgramFolder;

constexpr std::int64_t kFifteenDays = 1'296'000LL * 10'000'000;

class RestoreTest : public ::testing::Test, public test::UpdateMachine {
protected:
    void SetUp() override {
        const std::int64_t created = sim::Clock::TicksFromCivil(2026, 11, 1, 0, 0, 0);
        for (const char* name : {"Qerno.exe", "a.dll", "b.dll"}) {
            const std::string path = kProgramFolder + std::string(name);
            machine.Files().WriteFile(path, name);
            const std::int64_t written = name[0] == 'Q' ? created : created + kFifteenDays;
            machine.Files().SetFileTimes(path, created, written);
        }
    }
    // The installer: lays these files anew (read-only if asked) and ends with `code`.
    void Installer(DWORD code, std::set<std::string> lays, bool readOnly = false) {
        machine.Programs().SetChildProgram(
            [code, lays, readOnly](sim::Machine& m, const sim::ProcessStart&) {
                for (const std::string& name : lays) {
                    m.Files().WriteFile(kProgramFolder + name, "new " + name);
                    if (readOnly) {
                        m.Files().SetAttributes(kProgramFolder + name, FILE_ATTRIBUTE_READONLY);
                    }
                }
                return code;
            });
    }
    std::string Content(const std::string& name) {
        return machine.Files().ReadFile(kProgramFolder + name).value_or("<none>");
    }
};

TEST_F(RestoreTest, WhatGoesBackAfterEachEnd) {
    // a.dll has a backup from an earlier update ("older"); b.dll has none.
    struct Row {
        const char* name;
        DWORD code;
        std::set<std::string> lays;
        bool started;
        const char* a;
        const char* b;
        const char* backupA;
        const char* backupB;
        bool laysReadOnly = false;
    };
    const Row rows[] = {
        // Over whatever the failed installer left under the own name; the older backup stays.
        {"refused", 1603, {"a.dll"}, true, "a.dll", "b.dll", "older", "<none>"},
        {"refused, left a read-only file",
         1603,
         {"a.dll", "b.dll"},
         true,
         "a.dll",
         "b.dll",
         "older",
         "<none>",
         true},
        {"cancelled", 1602, {}, true, "a.dll", "b.dll", "older", "<none>"},
        {"killed", 1, {}, true, "a.dll", "b.dll", "older", "<none>"},
        {"not started", 0, {}, false, "a.dll", "b.dll", "older", "<none>"},
        // Success: a file the installer did not lay again comes back; a laid one keeps its copy;
        // the older backup has served its turn.
        {"applied, one not laid", 0, {"a.dll"}, true, "new a.dll", "b.dll", "a.dll", "<none>"},
        {"applied, the one with a backup not laid",
         0,
         {"b.dll"},
         true,
         "a.dll",
         "new b.dll",
         "<none>",
         "b.dll"},
        {"restart due, both laid",
         3010,
         {"a.dll", "b.dll"},
         true,
         "new a.dll",
         "new b.dll",
         "a.dll",
         "b.dll"},
        {"restarting, both laid",
         1641,
         {"a.dll", "b.dll"},
         true,
         "new a.dll",
         "new b.dll",
         "a.dll",
         "b.dll"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const char* name : {"a.dll", "b.dll", "Bakup_b.dll"}) {
            SetFileAttributesA((kProgramFolder + std::string(name)).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((kProgramFolder + std::string(name)).c_str());
        }
        SetUp();
        machine.Files().WriteFile(kProgramFolder + std::string("Bakup_a.dll"), "older");
        DeleteFileA("C:\\Users\\user\\AppData\\Local\\Temp\\Install_Setup_Trace.log");
        Installer(row.code, row.lays, row.laysReadOnly);
        machine.Programs().SetOutcome(row.started ? sim::Processes::Outcome::Started
                                                  : sim::Processes::Outcome::Refused);
        Launch();
        EXPECT_EQ(Content("a.dll"), row.a);
        EXPECT_EQ(Content("b.dll"), row.b);
        EXPECT_EQ(Content("Bakup_a.dll"), row.backupA);
        EXPECT_EQ(Content("Bakup_b.dll"), row.backupB);
        EXPECT_EQ(Content("Bakup_a.dll.old"), "<none>");
        const std::string trace = Trace();
        EXPECT_NE(trace.find("Keep File：" + std::string(kProgramFolder) + "Bakup_a.dll → " +
                             kProgramFolder + "Bakup_a.dll.old\r\n"),
                  std::string::npos);
        EXPECT_EQ(trace.find("Restore File：Error"), std::string::npos) << trace;
    }
}

TEST_F(RestoreTest, AReadOnlyOlderBackupIsGoneAfterASuccessAndTheNextRunSetsItsOwnAside) {
    const std::string older = kProgramFolder + std::string("Bakup_a.dll");
    machine.Files().WriteFile(older, "older");
    machine.Files().SetAttributes(older, FILE_ATTRIBUTE_READONLY);
    Installer(0, {"a.dll", "b.dll"});
    EXPECT_EQ(Launch("/silent1"), 0);
    EXPECT_EQ(Content("Bakup_a.dll.old"), "<none>");
    // The next update of a.dll sets this run's backup aside as it should.
    machine.Files().SetFileTimes(kProgramFolder + std::string("a.dll"),
                                 sim::Clock::TicksFromCivil(2026, 11, 1, 0, 0, 0),
                                 sim::Clock::TicksFromCivil(2026, 11, 1, 0, 0, 0) + kFifteenDays);
    DeleteFileA("C:\\Users\\user\\AppData\\Local\\Temp\\Install_Setup_Trace.log");
    Installer(1603, {});
    EXPECT_EQ(Launch("/silent1"), 1603);
    EXPECT_EQ(Trace().find("Keep File：Error"), std::string::npos) << Trace();
    EXPECT_EQ(Content("Bakup_a.dll"), "a.dll");
}

TEST_F(RestoreTest, EachFileIsTracedAndAFailedMoveBackIsReported) {
    // Something holds the backup open without letting it be renamed.
    std::shared_ptr<sim::OpenFile> held;
    machine.Programs().SetChildProgram([&](sim::Machine& m, const sim::ProcessStart&) {
        held = m.Files().HoldOpen(kProgramFolder + std::string("Bakup_a.dll"), GENERIC_READ,
                                  FILE_SHARE_READ);
        return DWORD{1603};
    });
    EXPECT_EQ(Launch("/silent1"), 1603);
    const std::string folder = kProgramFolder;
    const std::string expected = "            ShellExe-End\r\n"
                                 "            RestoreFile-Start\r\n"
                                 "                Restore File：" +
                                 folder + "Bakup_a.dll → " + folder +
                                 "a.dll\r\n"
                                 "                Restore File：Error\r\n"
                                 "                Code=32\r\n"
                                 "                Restore File：" +
                                 folder + "Bakup_b.dll → " + folder +
                                 "b.dll\r\n"
                                 "                Restore File：SUCCESS\r\n"
                                 "            RestoreFile-End\r\n"
                                 "        SetupPatch-End\r\n";
    EXPECT_NE(Trace().find(expected), std::string::npos) << Trace();
    EXPECT_EQ(Content("b.dll"), "b.dll");
    EXPECT_EQ(Content("Bakup_a.dll"), "a.dll");
    // The journal stays for the next run, which puts a.dll back before anything else.
    held.reset();
    machine.Programs().SetChildProgram({});
    DeleteFileA(test::kMsiexec);
    EXPECT_EQ(Launch("/silent1"), 1603);
    EXPECT_EQ(Content("a.dll"), "a.dll");
    EXPECT_NE(Trace().find("RecoverFile-Start"), std::string::npos) << Trace();
}

TEST_F(RestoreTest, WithoutTheInstallerNothingIsMovedAside) {
    DeleteFileA(test::kMsiexec);
    EXPECT_EQ(Launch(), 1603);
    EXPECT_EQ(Content("a.dll"), "a.dll");
    EXPECT_EQ(Content("Bakup_a.dll"), "<none>");
    EXPECT_EQ(Trace().find("BackUpFile-Start"), std::string::npos);
    EXPECT_NE(Trace().find("Error File Not Found"), std::string::npos);
}

} // namespace
