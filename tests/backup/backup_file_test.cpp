// Moving aside program files changed 15 days or more after the main files were created.
#include "backup/backup_file.h"

#include "backup/move_journal.h"
#include "support/trace_file.h"
#include "support/update_machine.h"

#include <gtest/gtest.h>

namespace {

using test::kProgramFolder;
using test::TraceOf;

constexpr std::int64_t kSecond = 10'000'000;
constexpr std::int64_t kFifteenDays = 1'296'000 * kSecond;

class BackupTest : public ::testing::Test, public test::UpdateMachine {
protected:
    // A file of the program folder with these times (universal, file-time units).
    void File(const std::string& name, std::int64_t created, std::int64_t written) {
        const std::string path = kProgramFolder + name;
        machine.Files().WriteFile(path, name);
        machine.Files().SetFileTimes(path, created, written);
    }
    bool Moved(const std::string& folder, const std::string& name) {
        return !machine.Files().Exists(folder + name) &&
               machine.Files().Exists(folder + "Bakup_" + name);
    }
    bool Kept(const std::string& name) {
        return machine.Files().ReadFile(kProgramFolder + name) == name &&
               !machine.Files().Exists(std::string(kProgramFolder) + "Bakup_" + name);
    }

    // The main files were created on 2026-11-01 00:00:00 universal time.
    const std::int64_t created = sim::Clock::TicksFromCivil(2026, 11, 1, 0, 0, 0);
    CMoveJournal journal;
    std::vector<tagMovedFile> moved;
};

TEST_F(BackupTest, TheThresholdIsExactToTheSecond) {
    File("Qerno.exe", created, created);
    File("Plinth.dll", created + kSecond, created + kSecond);
    File("due.dll", created, created + kFifteenDays);
    File("early.dll", created + kFifteenDays - kSecond, created);
    const std::string trace =
        TraceOf(machine, [&] { BackUpProgramFiles(kProgramFolder, journal, moved); });
    EXPECT_TRUE(Moved(kProgramFolder, "due.dll"));
    EXPECT_TRUE(Kept("early.dll"));
    EXPECT_TRUE(Kept("Qerno.exe"));
    // The reference time in local (Japanese) time, then one line per candidate.
    EXPECT_NE(trace.find("    2026/11/01 09:00:00\r\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("    Chk File：" + std::string(kProgramFolder) +
                         "due.dll  2026/11/16 09:00:00\r\n    Rename File-Start\r\n"
                         "        REN File：" +
                         kProgramFolder + "due.dll → " + kProgramFolder +
                         "Bakup_due.dll\r\n        REN File：SUCCESS\r\n    Rename File-End\r\n"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("    Chk File：" + std::string(kProgramFolder) +
                         "early.dll  2026/11/16 08:59:59\r\n    Chk File："),
              std::string::npos)
        << trace;
}

TEST_F(BackupTest, NamesAreMatchedInUpperCaseAndByContainment) {
    File("Qerno.exe", created, created);
    const std::int64_t late = created + kFifteenDays;
    for (const char* name : {"lower.dll", "Mixed.Exe", "double.exe.old", "notes.txt",
                             "bakup_old.dll", "BAKUP_Other.exe", "my_Bakup_x.dll"}) {
        File(name, late, late);
    }
    BackUpProgramFiles(kProgramFolder, journal, moved);
    EXPECT_TRUE(Moved(kProgramFolder, "lower.dll"));
    EXPECT_TRUE(Moved(kProgramFolder, "Mixed.Exe"));
    EXPECT_TRUE(Moved(kProgramFolder, "double.exe.old"));
    EXPECT_TRUE(Moved(kProgramFolder, "my_Bakup_x.dll"));
    EXPECT_TRUE(Kept("notes.txt"));
    EXPECT_TRUE(Kept("bakup_old.dll"));
    EXPECT_TRUE(Kept("BAKUP_Other.exe"));
}

TEST_F(BackupTest, OnlyTheProgramFolderAndQerno3D) {
    File("Qerno.exe", created, created);
    const std::int64_t late = created + kFifteenDays;
    File("Qerno3D\\q.dll", late, late);
    File("Qerno3D\\Deeper\\d.dll", late, late);
    File("Other\\o.dll", late, late);
    BackUpProgramFiles(kProgramFolder, journal, moved);
    EXPECT_TRUE(Moved(std::string(kProgramFolder) + "Qerno3D\\", "q.dll"));
    EXPECT_TRUE(Kept("Qerno3D\\Deeper\\d.dll"));
    EXPECT_TRUE(Kept("Other\\o.dll"));
}

TEST_F(BackupTest, AnOlderBackupIsSetAsideAndBackInPlaceWhenTheMoveFails) {
    File("Qerno.exe", created, created);
    const std::int64_t late = created + kFifteenDays;
    const std::string folder = kProgramFolder;
    for (const char* name : {"a.dll", "b.dll", "c.dll"}) {
        File(name, late, late);
        File(std::string("Bakup_") + name, created, created);
    }
    // b.dll: its set-aside name is taken by a read-only file; c.dll: held open, it cannot move.
    File("Bakup_b.dll.old", created, created);
    machine.Files().SetAttributes(folder + "Bakup_b.dll.old", FILE_ATTRIBUTE_READONLY);
    auto inUse = machine.Files().HoldOpen(folder + "c.dll", GENERIC_READ, FILE_SHARE_READ);
    const std::string trace =
        TraceOf(machine, [&] { BackUpProgramFiles(kProgramFolder, journal, moved); });

    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].strOwnPath, folder + "a.dll");
    EXPECT_EQ(moved[0].strSetAsidePath, folder + "Bakup_a.dll.old");
    EXPECT_EQ(machine.Files().ReadFile(folder + "Bakup_a.dll.old"), "Bakup_a.dll");
    EXPECT_EQ(machine.Files().ReadFile(folder + "Bakup_a.dll"), "a.dll");
    for (const char* name : {"b.dll", "c.dll"}) {
        EXPECT_EQ(machine.Files().ReadFile(folder + name), name);
        EXPECT_EQ(machine.Files().ReadFile(folder + "Bakup_" + name), std::string("Bakup_") + name);
    }
    EXPECT_NE(trace.find("Keep File：" + folder + "Bakup_b.dll → " + folder +
                         "Bakup_b.dll.old\r\n        Keep File：Error\r\n        Code=5\r\n"
                         "    Rename File-End"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("REN File：Error\r\n        Code=32\r\n        Restore File：" + folder +
                         "Bakup_c.dll.old → " + folder +
                         "Bakup_c.dll\r\n        Restore File：SUCCESS\r\n"),
              std::string::npos)
        << trace;
}

TEST_F(BackupTest, AFailedMoveIsTracedAndTheNextFileStillMoves) {
    File("Qerno.exe", created, created);
    const std::int64_t late = created + kFifteenDays;
    File("a.dll", late, late);
    File("b.dll", late, late);
    auto inUse = machine.Files().HoldOpen(std::string(kProgramFolder) + "a.dll", GENERIC_READ,
                                          FILE_SHARE_READ);
    const std::string trace =
        TraceOf(machine, [&] { BackUpProgramFiles(kProgramFolder, journal, moved); });
    EXPECT_NE(trace.find("        REN File：Error\r\n        Code=32\r\n"), std::string::npos)
        << trace;
    EXPECT_TRUE(Kept("a.dll"));
    EXPECT_TRUE(Moved(kProgramFolder, "b.dll"));
}

TEST_F(BackupTest, ABackupNameTakenByAFolderFailsTheMove) {
    File("Qerno.exe", created, created);
    File("a.dll", created + kFifteenDays, created + kFifteenDays);
    machine.Files().CreateFolder(std::string(kProgramFolder) + "Bakup_a.dll");
    const std::string trace =
        TraceOf(machine, [&] { BackUpProgramFiles(kProgramFolder, journal, moved); });
    EXPECT_EQ(trace.find("DeleteFile："), std::string::npos);
    EXPECT_NE(trace.find("        REN File：Error\r\n        Code=183\r\n"), std::string::npos)
        << trace;
    EXPECT_EQ(machine.Files().ReadFile(std::string(kProgramFolder) + "a.dll"), "a.dll");
}

TEST_F(BackupTest, WithoutMainFilesTheReferenceIsNow) {
    const std::int64_t now = machine.Time().UniversalTicks();
    File("recent.dll", now - kSecond, now - kSecond);
    File("future.dll", now + kFifteenDays, now + kFifteenDays);
    const std::string trace =
        TraceOf(machine, [&] { BackUpProgramFiles(kProgramFolder, journal, moved); });
    EXPECT_NE(trace.find("    2026/12/07 22:24:38\r\n"), std::string::npos) << trace;
    EXPECT_TRUE(Kept("recent.dll"));
    EXPECT_TRUE(Moved(kProgramFolder, "future.dll"));
}

TEST_F(BackupTest, ThePatchNamesTheProductWhoseFolderIsBackedUp) {
    File("Qerno.exe", created, created);
    File("late.dll", created + kFifteenDays, created + kFifteenDays);
    BackUpFile("C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp", test::kProductCode, journal, moved);
    EXPECT_TRUE(Moved(kProgramFolder, "late.dll"));
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].strOwnPath, kProgramFolder + std::string("late.dll"));
    EXPECT_EQ(moved[0].strBackupPath, kProgramFolder + std::string("Bakup_late.dll"));
    EXPECT_EQ(machine.Keys().OpenKeys(), 0u);
    EXPECT_EQ(machine.OpenFinds(), 0u);
}

TEST_F(BackupTest, NoTargetOrNoRegistrationBacksNothingUp) {
    File("Qerno.exe", created, created);
    File("late.dll", created + kFifteenDays, created + kFifteenDays);
    BackUpFile("C:\\Media\\MSP\\none.msp", test::kProductCode, journal, moved);
    AddPatch("other", "Other Build 1", "{AAAAAAAA-1111-2222-3333-000000000001}", "6.0.1",
             "{00000000-0000-0000-0000-000000000001}");
    BackUpFile("C:\\Media\\MSP\\other.msp", test::kProductCode, journal, moved);
    EXPECT_TRUE(Kept("late.dll"));
}

TEST_F(BackupTest, AMainFileFromBefore1970IsNoReference) {
    const std::int64_t before1970 = sim::Clock::TicksFromCivil(1960, 1, 1, 0, 0, 0);
    File("Qerno.exe", before1970, before1970);
    File("Wardex.exe", created, created);
    File("late.dll", created + kFifteenDays, created + kFifteenDays);
    const std::string trace =
        TraceOf(machine, [&] { BackUpProgramFiles(kProgramFolder, journal, moved); });
    EXPECT_NE(trace.find("    2026/11/01 09:00:00\r\n"), std::string::npos) << trace;
    EXPECT_TRUE(Kept("Qerno.exe"));
    EXPECT_TRUE(Kept("Wardex.exe"));
    EXPECT_TRUE(Moved(kProgramFolder, "late.dll"));
}

TEST(FormatTimeText, EachDateInTheOffsetInForceOnIt) {
    sim::Machine machine;
    // New York: five hours behind, four in summer; today (7 December) is winter.
    machine.Time().SetBiasMinutes(300);
    machine.Time().SetDaylightRule({3, 8, 2, 11, 1, 1, -60});
    const std::int64_t summer =
        sim::Clock::TicksFromCivil(2026, 7, 1, 12, 0, 0) / 10'000'000 - 11'644'473'600;
    EXPECT_EQ(FormatTimeText(summer), "2026/07/01 08:00:00");
    EXPECT_EQ(FormatTimeText(summer + 180 * 86'400), "2026/12/28 07:00:00");
}

TEST(FormatTimeText, LocalTimeOrNothing) {
    sim::Machine machine;
    EXPECT_EQ(FormatTimeText(0), "1970/01/01 09:00:00");
    const std::int64_t now = machine.Time().UniversalTicks() / 10'000'000 - 11'644'473'600;
    EXPECT_EQ(FormatTimeText(now), "2026/12/07 22:24:38");
    EXPECT_EQ(FormatTimeText(-1), "");
}

} // namespace
