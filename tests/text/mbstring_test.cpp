#include "text/mbstring.h"

#include <gtest/gtest.h>

namespace {

// Double-byte characters whose second byte is an ASCII sign the launcher searches for.
// 表 and ソ end in 0x5C ("\"), ー in 0x5B, ポ in 0x7C. Code page 932 has no valid character
// ending in "=", "." or ";", but the C runtime steps over any lead byte with whatever follows,
// so the helpers must not find those signs inside such a pair either.
constexpr char kHyo[] = "\x95\x5C";  // 表
constexpr char kSo[] = "\x83\x5C";   // ソ
constexpr char kLeadEq[] = "\x81=";  // lead byte + "="
constexpr char kLeadDot[] = "\x88."; // lead byte + "."
constexpr char kLeadSemi[] = "\xE0;";

TEST(MbString, LeadBytesAreThoseOfCodePage932) {
    EXPECT_FALSE(text::IsLeadByte(0x80));
    EXPECT_TRUE(text::IsLeadByte(0x81));
    EXPECT_TRUE(text::IsLeadByte(0x9F));
    EXPECT_FALSE(text::IsLeadByte(0xA0)); // half-width katakana are single bytes
    EXPECT_FALSE(text::IsLeadByte(0xDF));
    EXPECT_TRUE(text::IsLeadByte(0xE0));
    EXPECT_TRUE(text::IsLeadByte(0xFC));
    EXPECT_FALSE(text::IsLeadByte(0xFD));
}

TEST(MbString, SearchesNeverMatchASecondByte) {
    struct Row {
        std::string text;
        char ch;
        std::size_t first;
        std::size_t last;
    };
    const Row rows[] = {
        {std::string("C:\\") + kHyo + "\\Setup.exe", '\\', 2, 5},
        {std::string("C:\\") + kHyo, '\\', 2, 2},
        {std::string(kSo) + kHyo, '\\', text::npos, text::npos},
        {std::string(kLeadEq) + "a=b", '=', 3, 3},
        {std::string(kLeadDot) + "x.msp", '.', 3, 3},
        {std::string(kLeadSemi) + ";", ';', 2, 2},
        {std::string("ab") + kLeadSemi, ';', text::npos, text::npos},
        {"", '\\', text::npos, text::npos},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(text::FindChar(row.text, row.ch), row.first);
        EXPECT_EQ(text::FindLastChar(row.text, row.ch), row.last);
    }
}

TEST(MbString, SubstringSearchStartsOnlyAtCharacterBoundaries) {
    // "\Setup" after 表: the 0x5C inside 表 followed by "Setup" is not a match.
    const std::string path = std::string("C:") + kHyo + "Setup\\Setup.exe";
    EXPECT_EQ(text::FindString(path, "\\Setup"), 9u);
    EXPECT_EQ(text::FindString(std::string(kLeadEq) + "LOGFILENAME=x", "=x"), 13u);
    EXPECT_EQ(text::FindString(std::string(kLeadEq) + "x", "=x"), text::npos);
    EXPECT_EQ(text::FindString("abc", ""), 0u);
    EXPECT_EQ(text::FindString("ab", "abc"), text::npos);
    // A lead byte at the very end stands alone and does not swallow anything.
    EXPECT_EQ(text::FindString("ab\x95", "\x95"), 2u);
}

TEST(MbString, TrimsAsciiWhiteSpaceAndKeepsDoubleByteCharacters) {
    EXPECT_EQ(text::TrimRightSpace("Access is denied.\r\n"), "Access is denied.");
    EXPECT_EQ(text::TrimRightSpace(std::string("a") + kHyo + " \t\r\n\v\f"),
              std::string("a") + kHyo);
    EXPECT_EQ(text::TrimLeftSpace(" \t x "), "x ");
    EXPECT_EQ(text::TrimSpace("  \r\n "), "");
    // A full-width blank is a character, not white space.
    EXPECT_EQ(text::TrimRightSpace("x\x81\x40"), "x\x81\x40");
    EXPECT_EQ(text::TrimRightSpace("x\x95"), "x\x95");
}

TEST(MbString, UpperCaseLeavesSecondBytesAlone) {
    // ャ is 0x83 0x61: its second byte is "a" and must not become "A".
    EXPECT_EQ(text::MakeUpper("a.dll\x83\x61z"), "A.DLL\x83\x61Z");
    EXPECT_EQ(text::MakeUpper(std::string("bakup_") + kHyo + ".exe"),
              std::string("BAKUP_") + kHyo + ".EXE");
    EXPECT_EQ(text::MakeUpper("{12345678-abcd-ef01}"), "{12345678-ABCD-EF01}");
}

} // namespace
