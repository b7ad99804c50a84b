// The journal a cut-off run leaves is untrusted input: only moves a run of ours could have made
// are put back, and nothing else on the machine is touched.
#include "backup/recover_file.h"

#include "backup/move_journal.h"
#include "support/trace_file.h"
#include "support/update_machine.h"

#include <gtest/gtest.h>

namespace {

using test::kProgramFolder;

const std::string kFolder = kProgramFolder;

TEST(JournaledMoveTest, OnlyAProgramFileOfTheProductFolderAndItsBackupBeside) {
    const std::string sub = kFolder + "Qerno3D\\";
    const struct {
        std::string own;
        std::string backup;
        std::string setAside;
        bool acted;
    } rows[] = {
        {kFolder + "a.dll", kFolder + "Bakup_a.dll", "", true},
        {kFolder + "A.EXE", kFolder + "Bakup_A.EXE", kFolder + "Bakup_A.EXE.old", true},
        {sub + "c.exe", sub + "Bakup_c.exe", "", true},
        // Folder names compare as Windows compares them.
        {"c:\\program files (x86)\\qernoe\\a.dll", "c:\\program files (x86)\\qernoe\\Bakup_a.dll",
         "", true},
        // A name whose second byte is "\" (表) stays one name.
        {kFolder + "\x95\x5C.dll", kFolder + "Bakup_\x95\x5C.dll", "", true},
        {"C:\\Windows\\System32\\a.dll", "C:\\Windows\\System32\\Bakup_a.dll", "", false},
        {kFolder + "Other\\a.dll", kFolder + "Other\\Bakup_a.dll", "", false},
        {kFolder + "..\\a.dll", kFolder + "..\\Bakup_a.dll", "", false},
        {kFolder + "x\\..\\a.dll", kFolder + "x\\..\\Bakup_a.dll", "", false},
        {kFolder + "a/../../b.dll", kFolder + "Bakup_a/../../b.dll", "", false},
        {kFolder + "a.dll:stream", kFolder + "Bakup_a.dll:stream", "", false},
        {kFolder + "*.dll", kFolder + "Bakup_*.dll", "", false},
        {kFolder + "a.txt", kFolder + "Bakup_a.txt", "", false},
        {kFolder + "Bakup_a.dll", kFolder + "Bakup_Bakup_a.dll", "", false},
        {kFolder + "a.dll", kFolder + "b.dll", "", false},
        {kFolder + "a.dll", "C:\\Windows\\Bakup_a.dll", "", false},
        {kFolder + "a.dll", kFolder + "Bakup_a.dll", "C:\\Windows\\win.ini", false},
        {kFolder + "a.dll", kFolder + "Bakup_a.dll", kFolder + "Bakup_a.dll.bak", false},
        {"a.dll", "Bakup_a.dll", "", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsJournaledMove({row.own, row.backup, row.setAside}, kFolder), row.acted)
            << row.own << " | " << row.backup << " | " << row.setAside;
    }
    EXPECT_FALSE(IsJournaledMove({"\\a.dll", "\\Bakup_a.dll", ""}, ""));
}

TEST(MoveJournalTest, BytesOfAnyShapeDecodeOrAreRefused) {
    const tagMoveJournal journal{test::kProductCode, {"a\tb\t", "c\td\te"}};
    const auto decoded = DecodeMoveJournal(EncodeMoveJournal(journal));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->strProductCode, journal.strProductCode);
    EXPECT_EQ(decoded->lines, journal.lines);
    EXPECT_FALSE(DecodeMoveJournal(""));
    EXPECT_FALSE(DecodeMoveJournal(std::string("\0x\0", 3)));
    // Without its terminating NULs, and with strings after the empty one that ends it.
    EXPECT_EQ(DecodeMoveJournal("p")->strProductCode, "p");
    EXPECT_EQ(DecodeMoveJournal(std::string("p\0l\0\0m\0", 8))->lines,
              std::vector<std::string>{"l"});
    EXPECT_FALSE(ParseJournalLine("a\tb"));
    EXPECT_FALSE(ParseJournalLine("a\tb\tc\td"));
    EXPECT_EQ(ParseJournalLine("a\tb\t")->strSetAsidePath, "");
}

class RecoverTest : public ::testing::Test, public test::UpdateMachine {
protected:
    void Plant(const std::string& product, const std::vector<std::string>& lines,
               DWORD type = REG_MULTI_SZ) {
        PlantJournal(EncodeMoveJournal({product, lines}), type);
    }
    bool JournalLeft() { return Journal() != nullptr; }
    std::string Content(const std::string& path) {
        return machine.Files().ReadFile(path).value_or("<none>");
    }
};

TEST_F(RecoverTest, WhatAJournalLeadsTo) {
    const std::string a = kFolder + "a.dll";
    const std::string backupA = kFolder + "Bakup_a.dll";
    const std::string outside = "C:\\Windows\\System32\\Bakup_kernel32.dll";
    const struct {
        const char* name;
        std::string product;
        std::vector<std::string> lines;
        bool installerRunning;
        DWORD type;
        const char* a;
        const char* outsideFile;
        bool journalLeft;
        std::string traced;
    } rows[] = {
        {"put back",
         test::kProductCode,
         {a + "\t" + backupA + "\t"},
         false,
         REG_MULTI_SZ,
         "pre-run",
         "system",
         false,
         "Restore File：SUCCESS"},
        {"a pair outside the program folder dropped",
         test::kProductCode,
         {"C:\\Windows\\System32\\kernel32.dll\t" + outside + "\t"},
         false,
         REG_MULTI_SZ,
         "<none>",
         "system",
         false,
         "Journal Drop：C:\\Windows\\System32\\kernel32.dll?" + outside + "?"},
        {"left while an installation runs",
         test::kProductCode,
         {a + "\t" + backupA + "\t"},
         true,
         REG_MULTI_SZ,
         "<none>",
         "system",
         true,
         "MSIExecute Running"},
        {"a product no longer installed",
         "{00000000-0000-0000-0000-000000000001}",
         {a + "\t" + backupA + "\t"},
         false,
         REG_MULTI_SZ,
         "<none>",
         "system",
         false,
         "Journal Not Installed：{00000000-0000-0000-0000-000000000001}"},
        {"not a product code",
         "..\\..",
         {a + "\t" + backupA + "\t"},
         false,
         REG_MULTI_SZ,
         "<none>",
         "system",
         false,
         "Journal Not Installed：..\\.."},
        {"not a journal's type",
         test::kProductCode,
         {a + "\t" + backupA + "\t"},
         false,
         REG_SZ,
         "<none>",
         "system",
         false,
         "Journal Unreadable"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        machine.Files().WriteFile(backupA, "pre-run");
        machine.Files().WriteFile(outside, "system");
        DeleteFileA(a.c_str());
        DeleteFileA("C:\\Windows\\System32\\kernel32.dll");
        Plant(row.product, row.lines, row.type);
        HANDLE running =
            row.installerRunning ? CreateMutexA(nullptr, TRUE, "Global\\_MSIExecute") : nullptr;
        const std::string trace = test::TraceOf(machine, [] { RecoverFile(); });
        if (running != nullptr) {
            CloseHandle(running);
        }
        EXPECT_EQ(Content(a), row.a);
        EXPECT_EQ(Content(outside), row.outsideFile);
        EXPECT_EQ(Content("C:\\Windows\\System32\\kernel32.dll"), "<none>");
        EXPECT_EQ(JournalLeft(), row.journalLeft);
        EXPECT_NE(trace.find(std::string("RecoverFile-Start\r\n")), std::string::npos) << trace;
        EXPECT_NE(trace.find(row.traced), std::string::npos) << trace;
    }
}

TEST_F(RecoverTest, ALineBreakInAJournalCannotForgeATraceLine) {
    Plant(test::kProductCode, {"x\r\nQernoE_Update-End\tb\t"});
    const std::string trace = test::TraceOf(machine, [] { RecoverFile(); });
    EXPECT_NE(trace.find("Journal Drop：x??QernoE_Update-End?b?\r\n"), std::string::npos) << trace;
}

TEST_F(RecoverTest, ARunThatFindsAJournalLeftMovesNothingOfItsOwn) {
    const std::int64_t created = sim::Clock::TicksFromCivil(2026, 11, 1, 0, 0, 0);
    machine.Files().WriteFile(kFolder + "Qerno.exe", "Qerno.exe");
    machine.Files().SetFileTimes(kFolder + "Qerno.exe", created, created);
    machine.Files().WriteFile(kFolder + "late.dll", "late");
    machine.Files().SetFileTimes(kFolder + "late.dll", created, created + 1'296'000LL * 10'000'000);
    Plant(test::kProductCode, {kFolder + "b.dll\t" + kFolder + "Bakup_b.dll\t"});
    HANDLE running = CreateMutexA(nullptr, TRUE, "Global\\_MSIExecute");
    Launch("/silent2");
    CloseHandle(running);
    EXPECT_EQ(Content(kFolder + "late.dll"), "late");
    EXPECT_NE(Trace().find("Journal Remains"), std::string::npos) << Trace();
    EXPECT_TRUE(JournalLeft());
}

} // namespace
