// INI reading as the settings file reader depends on it.
#include "scratch_fixture.h"

#include "settings/install_dat_reader.h"

#include <cstdio>
#include <string>
#include <vector>

namespace conformance {
namespace {

class IniTest : public ScratchTest {
protected:
    std::string Read(const char* section, const char* key, const char* fallback = "~",
                     DWORD size = 256) {
        std::string buffer(size, '\x7F');
        const DWORD length =
            GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, m_dat.c_str());
        lastLength = length;
        return std::string(buffer.c_str());
    }
    // The block GetPrivateProfileSectionA fills, up to and including its double NUL.
    std::string Section(const char* section, DWORD size, DWORD& length) {
        std::string buffer(size, '\x7F');
        length = GetPrivateProfileSectionA(section, buffer.data(), size, m_dat.c_str());
        return buffer;
    }
    void SetUp() override {
        ScratchTest::SetUp();
        m_dat = Write("Install.dat", "[Install]\r\n"
                                     "URL = https://example.com/a b \r\n"
                                     "Tilde=~\r\n"
                                     "Double=\"quoted value\"\r\n"
                                     "Single='single'\r\n"
                                     "Mixed=\"mixed'\r\n"
                                     "EmptyQuotes=\"\"\r\n"
                                     ";Commented=yes\r\n"
                                     "NoEquals\r\n"
                                     "=nameless\r\n"
                                     "Eq=a=b\r\n"
                                     "Dup=first\r\n"
                                     "Dup=second\r\n"
                                     "[install]\r\n"
                                     "Later=second section\r\n"
                                     "[Patch_E]\r\n"
                                     "name1=val1\r\n"
                                     "name2=\r\n"
                                     "name3\r\n"
                                     "=val5\r\n");
    }

    std::string m_dat;
    DWORD lastLength = 0;
};

TEST_F(IniTest, BlanksAroundTheEqualsSignAndValueAreTrimmed) {
    EXPECT_EQ(Read("Install", "URL"), "https://example.com/a b");
    EXPECT_EQ(Read(" INSTALL ", "url"), "https://example.com/a b");
}

TEST_F(IniTest, ATildeValueComesBackAsTheMissingMarker) {
    EXPECT_EQ(Read("Install", "Tilde"), "~");
    EXPECT_EQ(Read("Install", "None"), "~");
    std::string value;
    EXPECT_FALSE(CInstallDatReader(m_dat, "Install").ReadString("Tilde", "d", value));
    EXPECT_EQ(value, "d");
}

TEST_F(IniTest, OnePairOfMatchingQuotesIsRemoved) {
    EXPECT_EQ(Read("Install", "Double"), "quoted value");
    EXPECT_EQ(Read("Install", "Single"), "single");
    EXPECT_EQ(Read("Install", "Mixed"), "\"mixed'");
    EXPECT_EQ(Read("Install", "EmptyQuotes"), "");
}

TEST_F(IniTest, ALineWithoutEqualsIsNoKeyAndEqualsFirstNamesTheEmptyKey) {
    EXPECT_EQ(Read("Install", "NoEquals"), "~");
    EXPECT_EQ(Read("Install", ""), "nameless");
    EXPECT_EQ(Read("Install", "Eq"), "a=b");
}

TEST_F(IniTest, TheFirstOfRepeatedKeysAndSectionsCounts) {
    EXPECT_EQ(Read("Install", "Dup"), "first");
    EXPECT_EQ(Read("Install", "Later"), "~");
}

TEST_F(IniTest, CommentLinesAreNotKeys) {
    SKIP_UNDER_WINE("a line beginning with \";\" is ignored, so \";Commented\" is not found");
    EXPECT_EQ(Read("Install", ";Commented"), "~");
}

TEST_F(IniTest, AValueTooLongForTheBufferIsCut) {
    EXPECT_EQ(Read("Install", "Double", "~", 6), "quote");
    EXPECT_EQ(lastLength, 5u);
}

TEST_F(IniTest, AMissingFileGivesTheDefaultAndFileNotFound) {
    std::string buffer(32, '\0');
    SetLastError(0);
    const DWORD length = GetPrivateProfileStringA("Install", "URL", "dflt", buffer.data(), 32,
                                                  Path("none.dat").c_str());
    EXPECT_EQ(length, 4u);
    EXPECT_STREQ(buffer.c_str(), "dflt");
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(IniTest, SectionsComeAsABlockOfEntries) {
    DWORD length = 0;
    const std::string block = Section("patch_e", 256, length);
    const std::string expected("name1=val1\0name2=\0name3\0=val5\0\0", 31);
    EXPECT_EQ(length, 30u);
    EXPECT_EQ(block.substr(0, 31), expected);
}

TEST_F(IniTest, ASectionTooLongForTheBufferIsCutAndReportedAsSizeMinusTwo) {
    DWORD length = 0;
    std::string block = Section("Patch_E", 24, length);
    EXPECT_EQ(length, 22u);
    EXPECT_EQ(block.substr(0, 24), std::string("name1=val1\0name2=\0name\0\0", 24));
    // An exact fit (the block and one NUL) still counts as too small.
    block = Section("Patch_E", 31, length);
    EXPECT_EQ(length, 29u);
    block = Section("Patch_E", 32, length);
    EXPECT_EQ(length, 30u);
}

TEST_F(IniTest, AMissingSectionIsEmpty) {
    DWORD length = 1;
    Section("Patch_X", 64, length);
    EXPECT_EQ(length, 0u);
}

TEST_F(IniTest, TheReaderSkipsEntriesWithoutKey) {
    std::vector<tagEntryValue> entries;
    EXPECT_EQ(CInstallDatReader(m_dat, "Patch_E").ReadSection(entries), 2);
    EXPECT_EQ(entries, (std::vector<tagEntryValue>{{"name1", "val1"}, {"name2", ""}}));
}

TEST_F(IniTest, LongSectionsAreReadWholeThroughTheGrowingBuffer) {
    for (const unsigned count : {170u, 171u, 341u, 342u, 700u}) {
        SCOPED_TRACE(count);
        std::string text = "[Patch_E]\r\n";
        for (unsigned index = 0; index < count; ++index) {
            char line[32];
            std::snprintf(line, sizeof line, "K%04u=v%04u\r\n", index, index);
            text += line;
        }
        const std::string dat = Write("long.dat", text);
        std::vector<tagEntryValue> entries;
        ASSERT_EQ(CInstallDatReader(dat, "Patch_E").ReadSection(entries), static_cast<int>(count));
        char last[16];
        std::snprintf(last, sizeof last, "K%04u", count - 1);
        EXPECT_EQ(entries.back().strKey, last);
    }
}

TEST_F(IniTest, LinesEndInCrLfLfOrCr) {
    m_dat = Write("breaks.dat",
                  "[Patch_E]\nname1=val1\rname2=val2\r\nname3=val3\n\r\r\n[Install]\rURL=x");
    DWORD length = 0;
    const std::string block = Section("Patch_E", 64, length);
    EXPECT_EQ(block.substr(0, length + 1),
              std::string("name1=val1\0name2=val2\0name3=val3\0\0", 34));
    EXPECT_EQ(Read("Install", "URL"), "x");
}

TEST_F(IniTest, AUtf8ByteOrderMarkIsNotRecognised) {
    const std::string dat = Write("bom.dat", "\xEF\xBB\xBF[Install]\r\nURL=x\r\n[Next]\r\nK=v\r\n");
    std::string buffer(32, '\0');
    GetPrivateProfileStringA("Next", "K", "~", buffer.data(), 32, dat.c_str());
    EXPECT_STREQ(buffer.c_str(), "v");
    SKIP_UNDER_WINE("the mark sticks to the first line, so the section header there is lost");
    GetPrivateProfileStringA("Install", "URL", "~", buffer.data(), 32, dat.c_str());
    EXPECT_STREQ(buffer.c_str(), "~");
}

} // namespace
} // namespace conformance
