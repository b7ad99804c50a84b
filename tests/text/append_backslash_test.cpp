#include "text/append_backslash.h"
#include "text/mbstring.h"

#include <gtest/gtest.h>

namespace {

TEST(AppendBackslash, LooksAtTheLastCharacter) {
    EXPECT_EQ(AppendBackslash(""), "");
    EXPECT_EQ(AppendBackslash("C:\\Setup"), "C:\\Setup\\");
    EXPECT_EQ(AppendBackslash("C:\\Setup\\"), "C:\\Setup\\");
    // C:\表 ends in the byte 0x5C inside 表, not in a backslash.
    EXPECT_EQ(AppendBackslash("C:\\\x95\x5C"), "C:\\\x95\x5C\\");
    EXPECT_EQ(AppendBackslash("C:\\\x95\x5C\\"), "C:\\\x95\x5C\\");
}

TEST(CompareMb, OrdersByCharacterCode) {
    EXPECT_LT(text::CompareMb("Install_QernoE_2026_1207_222445.log",
                              "Install_QernoE_2026_1207_222446.log"),
              0);
    EXPECT_EQ(text::CompareMb("a\x95\x5C", "a\x95\x5C"), 0);
    EXPECT_LT(text::CompareMb("ab", "abc"), 0);
    EXPECT_GT(text::CompareMb("b", "a"), 0);
    // Case matters: "I" (0x49) sorts before "i" (0x69).
    EXPECT_LT(text::CompareMb("Install", "install"), 0);
    // A half-width katakana byte (0xB1) sorts before a double-byte character (0x8140 and up),
    // unlike a plain byte comparison would have it.
    EXPECT_LT(text::CompareMb("\xB1", "\x81\x40"), 0);
}

} // namespace
