#include "log/trace_log.h"

#include "os/sim/machine.h"
#include "support/trace_file.h"

#include <gtest/gtest.h>

namespace {

using test::CrLfLines;
using test::kEnd;
using test::kStart;
using test::kTracePath;
using test::ReadTrace;

class TraceLogTest : public ::testing::Test {
protected:
    // Opens a run the way the launcher does and publishes it.
    void OpenRun() {
        log.Open(kTracePath, "QernoE_Update");
        g_pTraceLog = &log;
    }
    void TearDown() override { g_pTraceLog = nullptr; }

    sim::Machine machine;
    CTraceLog log;
};

TEST_F(TraceLogTest, ANewFileStartsWithTheRunStartLine) {
    OpenRun();
    log.WriteLine("Check MSIKido");
    log.Close();
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, "    Check MSIKido", kEnd}));
}

TEST_F(TraceLogTest, EveryLineIsOnDiskAsSoonAsItIsWritten) {
    OpenRun();
    log.WriteLine("Copy DatFile");
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, "    Copy DatFile"}));
}

TEST_F(TraceLogTest, AFileOfExactlyOneMebibyteIsAppendedToAfterAnEmptyLine) {
    const std::string previous(1'048'576, 'x');
    machine.Files().WriteFile(kTracePath, previous);
    OpenRun();
    log.Close();
    EXPECT_EQ(ReadTrace(machine), previous + CrLfLines({"", kStart, kEnd}));
}

TEST_F(TraceLogTest, AFileOneByteLargerIsStartedAfresh) {
    machine.Files().WriteFile(kTracePath, std::string(1'048'577, 'x'));
    OpenRun();
    log.Close();
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, kEnd}));
}

TEST_F(TraceLogTest, RunsFollowOneAnotherSeparatedByAnEmptyLine) {
    OpenRun();
    log.Close();
    machine.Time().AdvanceSeconds(3);
    OpenRun();
    log.Close();
    EXPECT_EQ(ReadTrace(machine),
              CrLfLines({kStart, kEnd, "", "QernoE_Update-Start 2026/12/07 22:24:41",
                         "QernoE_Update-End 2026/12/07 22:24:41"}));
}

TEST_F(TraceLogTest, AFolderInPlaceOfTheFileMeansNoTraceAndNoFailure) {
    machine.Files().CreateFolder(kTracePath);
    OpenRun();
    EXPECT_FALSE(log.IsOpen());
    log.WriteLine("Check MSIKido");
    TraceCode(1);
    TraceLastError("X");
    log.Close();
    EXPECT_TRUE(PathIsDirectoryA(kTracePath));
}

TEST_F(TraceLogTest, AFileAnotherProcessWritesIsLeftAlone) {
    machine.Files().WriteFile(kTracePath, "theirs");
    {
        auto other = machine.Files().HoldOpen(kTracePath, GENERIC_WRITE, FILE_SHARE_READ);
        OpenRun();
        EXPECT_FALSE(log.IsOpen());
        log.Close();
    }
    EXPECT_EQ(ReadTrace(machine), "theirs");
}

TEST_F(TraceLogTest, OthersMayReadButNotWriteTheFileDuringTheRun) {
    OpenRun();
    EXPECT_NO_THROW(
        machine.Files().HoldOpen(kTracePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_THROW(
        machine.Files().HoldOpen(kTracePath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE),
        std::runtime_error);
}

TEST_F(TraceLogTest, OpeningAgainEndsTheRunInProgress) {
    OpenRun();
    log.Open(kTracePath, "Second");
    log.Close();
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, kEnd, "", "Second-Start 2026/12/07 22:24:38",
                                             "Second-End 2026/12/07 22:24:38"}));
}

TEST_F(TraceLogTest, DestroyingAnOpenLogEndsTheRunAndForgetsTheGlobal) {
    {
        CTraceLog local;
        local.Open(kTracePath, "QernoE_Update");
        g_pTraceLog = &local;
        local.WriteLine("Check MSIKido");
    }
    EXPECT_EQ(g_pTraceLog, nullptr);
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, "    Check MSIKido", kEnd}));
}

TEST_F(TraceLogTest, LinesAreIndentedFourBlanksPerLevelAndNeverBelowZero) {
    OpenRun();
    log.RaiseDepth();
    log.RaiseDepth();
    log.WriteLine("deep");
    for (int i = 0; i < 5; ++i) {
        log.LowerDepth();
    }
    log.WriteLine("left");
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, "            deep", "left"}));
}

TEST_F(TraceLogTest, CodeAndTimeLines) {
    OpenRun();
    TraceCode(12);
    TraceCode(-3);
    machine.Time().SetLocalTime(2027, 1, 2, 3, 4, 5);
    TraceTime();
    EXPECT_EQ(ReadTrace(machine),
              CrLfLines({kStart, "    Code=12", "    Code=-3", "    2027/01/02 03:04:05"}));
}

TEST_F(TraceLogTest, ErrorLineCarriesTheSystemTextWithoutItsLineBreak) {
    OpenRun();
    SetLastError(ERROR_ACCESS_DENIED);
    TraceLastError("CopyFile Err");
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    // The colon is the full-width one of code page 932.
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, "    CopyFile Err\x81\x46"
                                                     "ErrCode = 5,ErrMsg = Access is denied."}));
    EXPECT_EQ(machine.LiveLocalBlocks(), 0u);
}

TEST_F(TraceLogTest, ErrorLineWithJapaneseOrMissingSystemText) {
    // "アクセスが拒否されました。" followed by CR LF, as a Japanese Windows answers.
    machine.SetSystemMessage(5, "アクセスが拒否されました。\r\n");
    machine.SetSystemMessage(0, std::nullopt);
    OpenRun();
    SetLastError(5);
    TraceLastError("DeleteFile Err");
    SetLastError(0);
    TraceLastError("MsiViewFetch Err");
    EXPECT_EQ(
        ReadTrace(machine),
        CrLfLines({kStart, "    DeleteFile Err：ErrCode = 5,ErrMsg = アクセスが拒否されました。",
                   "    MsiViewFetch Err：ErrCode = 0,ErrMsg = "}));
    EXPECT_EQ(machine.LiveLocalBlocks(), 0u);
}

TEST(TraceWithoutLog, OperationsDoNothingWithoutATraceLog) {
    sim::Machine machine;
    g_pTraceLog = nullptr;
    SetLastError(5);
    TraceCode(1);
    TraceTime();
    TraceLastError("X");
    EXPECT_EQ(GetLastError(), 5u);
    EXPECT_EQ(machine.LiveLocalBlocks(), 0u);
    EXPECT_FALSE(machine.Files().Exists(kTracePath));
}

} // namespace
