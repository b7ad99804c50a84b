#include "log/trace_scope.h"

#include "os/sim/machine.h"
#include "support/trace_file.h"

#include <gtest/gtest.h>

namespace {

using test::CrLfLines;
using test::kEnd;
using test::kStart;
using test::kTracePath;
using test::ReadTrace;

class TraceScopeTest : public ::testing::Test {
protected:
    void SetUp() override {
        log.Open(kTracePath, "QernoE_Update");
        g_pTraceLog = &log;
    }
    void TearDown() override { g_pTraceLog = nullptr; }

    sim::Machine machine;
    CTraceLog log;
};

TEST_F(TraceScopeTest, ScopesFrameAndIndentTheirLines) {
    {
        CTraceScope outer("InstMSP");
        TraceCode(1);
        {
            CTraceScope inner("SetupPatch");
            TraceCode(2);
        }
        TraceCode(3);
    }
    TraceCode(4);
    EXPECT_EQ(ReadTrace(machine),
              CrLfLines({kStart, "    InstMSP-Start", "        Code=1", "        SetupPatch-Start",
                         "            Code=2", "        SetupPatch-End", "        Code=3",
                         "    InstMSP-End", "    Code=4"}));
}

TEST_F(TraceScopeTest, AnEmptyNameOnlyIndents) {
    {
        CTraceScope unnamed("");
        TraceCode(1);
    }
    TraceCode(2);
    EXPECT_EQ(ReadTrace(machine), CrLfLines({kStart, "        Code=1", "    Code=2"}));
}

TEST_F(TraceScopeTest, DepthNeverDropsBelowTheRunLevel) {
    {
        CTraceScope scope("Outer");
        log.LowerDepth(); // someone else already unwound a level
        TraceCode(1);
    }
    TraceCode(2);
    EXPECT_EQ(log.GetDepth(), 1);
    EXPECT_EQ(ReadTrace(machine),
              CrLfLines({kStart, "    Outer-Start", "    Code=1", "    Outer-End", "    Code=2"}));
}

TEST_F(TraceScopeTest, AScopeKeepsTheLogItStartedWith) {
    {
        CTraceScope scope("CopyDatFile");
        g_pTraceLog = nullptr;
        TraceCode(1); // not written: no trace log now
    }
    EXPECT_EQ(ReadTrace(machine),
              CrLfLines({kStart, "    CopyDatFile-Start", "    CopyDatFile-End"}));
}

TEST(TraceScopeWithoutLog, DoesNothing) {
    sim::Machine machine;
    g_pTraceLog = nullptr;
    { CTraceScope scope("InstMSP"); }
    EXPECT_FALSE(machine.Files().Exists(kTracePath));
}

} // namespace
