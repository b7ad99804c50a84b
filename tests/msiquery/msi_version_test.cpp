#include "msiquery/msi_version.h"

#include "os/sim/machine.h"
#include "support/trace_file.h"

#include <gtest/gtest.h>

namespace {

using test::CrLfLines;
using test::TraceOf;

TEST(MsiVersion, PackedVersions) {
    sim::Machine machine;
    struct Row {
        const char* text;
        DWORD packed;
    };
    const Row rows[] = {
        {"6.0.1234", 0x060004D2},
        {"6.0.1234.5", 0x060004D2},
        {"6.0", 0},
        {"", 0},
        {"6..0.1234", 0x060004D2},
        {"300.1.70000", 0x2C011170},
        {" 6.+1.-2", 0x0601FFFE},
        {"6x.0y.12z", 0x0600000C},
        {"a.b.c", 0},
        {"255.255.65535", 0xFFFFFFFF},
        {"99999999999.1.1", 0xFF010001},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(GetMSIVersion(row.text), row.packed);
    }
}

TEST(MsiVersion, TraceOfAConversion) {
    sim::Machine machine;
    EXPECT_EQ(TraceOf(machine, [] { (void)GetMSIVersion("6.0.1234"); }),
              CrLfLines({"    GetMSIVersion-Start", "        Version:6.0.1234",
                         "        GetMSIVersion-Start", "            Code=6", "            Code=0",
                         "            Code=1234", "            Code=100664530",
                         "        GetMSIVersion-End", "    GetMSIVersion-End"}));
}

TEST(MsiVersion, FewerThanThreeNumbersTraceOnlyTheText) {
    sim::Machine machine;
    EXPECT_EQ(
        TraceOf(machine, [] { (void)GetMSIVersion("6.0"); }),
        CrLfLines({"    GetMSIVersion-Start", "        Version:6.0", "    GetMSIVersion-End"}));
}

TEST(MsiVersion, AMajorOf128OrMorePrintsNegative) {
    sim::Machine machine;
    EXPECT_EQ(TraceOf(machine, [] { EXPECT_EQ(MakeMSIVersion(200, 1, 2), 0xC8010002u); }),
              CrLfLines({"    GetMSIVersion-Start", "        Code=200", "        Code=1",
                         "        Code=2", "        Code=-939458558", "    GetMSIVersion-End"}));
}

TEST(MsiVersion, WithoutTraceTheResultsAreTheSame) {
    sim::Machine machine;
    g_pTraceLog = nullptr;
    EXPECT_EQ(GetMSIVersion("6.0.1234"), 0x060004D2u);
    EXPECT_EQ(MakeMSIVersion(-1, 0, 0), 0xFF000000u);
}

} // namespace
