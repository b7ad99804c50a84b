#include "settings/install_dat_reader.h"

#include "os/sim/machine.h"

#include <gtest/gtest.h>

namespace {

constexpr char kDat[] = "C:\\Temp\\tmp1A2B.tmp";

class InstallDatReaderTest : public ::testing::Test {
protected:
    void Write(const std::string& text) { machine.Files().WriteFile(kDat, text); }
    std::vector<tagEntryValue> Section(const char* name) {
        std::vector<tagEntryValue> entries{{"stale", "entry"}};
        const int count = CInstallDatReader(kDat, name).ReadSection(entries);
        EXPECT_EQ(count, static_cast<int>(entries.size()));
        return entries;
    }

    sim::Machine machine;
};

using Entries = std::vector<tagEntryValue>;

TEST_F(InstallDatReaderTest, ReadStringFindsKeysWithoutRegardToCase) {
    Write("[Install]\r\nURL = https://example.com/qernoe \r\nTilde=~\r\nEmpty=\r\n");
    CInstallDatReader reader(kDat, "install");
    std::string value;
    EXPECT_TRUE(reader.ReadString("url", "", value));
    EXPECT_EQ(value, "https://example.com/qernoe");
    EXPECT_TRUE(reader.ReadString("Empty", "dflt", value));
    EXPECT_EQ(value, "");
    // "~" is the marker for a missing key, so a value of "~" reads as missing.
    EXPECT_FALSE(reader.ReadString("Tilde", "dflt", value));
    EXPECT_EQ(value, "dflt");
    EXPECT_FALSE(reader.ReadString("None", "", value));
    EXPECT_EQ(value, "");
}

TEST_F(InstallDatReaderTest, ReadStringOfAMissingFileOrSection) {
    std::string value = "old";
    EXPECT_FALSE(CInstallDatReader("C:\\none.dat", "Install").ReadString("URL", "d", value));
    EXPECT_EQ(value, "d");
    Write("[Other]\r\nURL=x\r\n");
    EXPECT_FALSE(CInstallDatReader(kDat, "Install").ReadString("URL", "", value));
}

TEST_F(InstallDatReaderTest, SectionEntriesKeepFileOrderAndSkipLinesWithoutKey) {
    Write("[Patch_E]\r\n"
          "{B}=QernoE_E_1234\r\n"
          "bare line\r\n"
          "=value only\r\n"
          "key=\r\n"
          "two=a=b\r\n"
          "; comment=x\r\n"
          " spaced = v \r\n"
          "{A}=QernoE_E_1200\r\n"
          "[Patch_S]\r\n"
          "{C}=x\r\n");
    EXPECT_EQ(Section("patch_e"), (Entries{{"{B}", "QernoE_E_1234"},
                                           {"key", ""},
                                           {"two", "a=b"},
                                           {"spaced", "v"},
                                           {"{A}", "QernoE_E_1200"}}));
}

TEST_F(InstallDatReaderTest, MissingOrEmptySectionsGiveNothing) {
    Write("[Patch_E]\r\n\r\n[Patch_S]\r\n; only a comment\r\n");
    EXPECT_EQ(Section("Patch_E"), Entries{});
    EXPECT_EQ(Section("Patch_S"), Entries{});
    EXPECT_EQ(Section("Patch_X"), Entries{});
}

TEST_F(InstallDatReaderTest, LongSectionsAreReadWholeThroughALargerBuffer) {
    // Each "K0000=v0000" entry takes 12 bytes of the block, NUL included; a last entry
    // "P=..." tunes the length to the edges of the 2,048-, 4,096- and 8,192-byte buffers: 2,040
    // fits, 2,046 (the "cut" result) and 2,047 (an exact fit) are read again larger, as are
    // 4,104 and 8,191.
    struct Case {
        unsigned entries;
        std::string last;
    };
    const Case cases[] = {{1, ""},         {170, ""},     {170, "P=abc"}, {170, "P=abcd"},
                          {171, ""},       {341, ""},     {342, ""},      {682, "P=abc"},
                          {682, "P=abcd"}, {1000, "P=z"}, {5000, ""}};
    for (const Case& test : cases) {
        SCOPED_TRACE(std::to_string(test.entries) + test.last);
        std::string text = "[Patch_E]\r\n";
        Entries expected;
        for (unsigned index = 0; index < test.entries; ++index) {
            char number[32];
            std::snprintf(number, sizeof number, "%04u", index);
            text += "K" + std::string(number) + "=v" + number + "\r\n";
            expected.push_back({"K" + std::string(number), "v" + std::string(number)});
        }
        if (!test.last.empty()) {
            text += test.last + "\r\n";
            expected.push_back({"P", test.last.substr(2)});
        }
        Write(text);
        EXPECT_EQ(Section("Patch_E"), expected);
    }
}

} // namespace
