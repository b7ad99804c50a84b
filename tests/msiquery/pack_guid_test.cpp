#include "msiquery/pack_guid.h"
#include "text/split_string.h"

#include <gtest/gtest.h>

namespace {

constexpr char kPacked[] = "87654321DCBA10FE32547698BADCFE10";

TEST(PackGUID, Table) {
    struct Row {
        const char* code;
        const char* packed;
    };
    const Row rows[] = {
        {"{12345678-ABCD-EF01-2345-6789ABCDEF01}", kPacked},
        {"{12345678-abcd-ef01-2345-6789abcdef01}", kPacked},
        {"12345678-ABCD-EF01-2345-6789ABCDEF01", kPacked},
        {"{12345678--ABCD-EF01-2345-6789ABCDEF01}", kPacked},
        {"-12345678-ABCD-EF01-2345-6789ABCDEF01-", kPacked},
        {"{12345678-ABCD-EF01-2345-6789ABCDEF01-EXTRA}", kPacked},
        {"{1234}{5678-ABCD-EF01-2345-6789ABCDEF01}", kPacked},
        {"{12345678-ABCD-EF01-23456789ABCDEF01}", ""},
        {"{12345678-ABCD-EF01-2345-6789ABCDEF0}", ""},
        {"", ""},
        // Two target codes joined by ";": the fifth group runs on and the tail is odd.
        {"{12345678-ABCD-EF01-2345-6789ABCDEF01};{87654321-ABCD-EF01-2345-6789ABCDEF01}", ""},
        // Lengths and digits are not checked.
        {"A-B-C-D-E", "ABCED"},
        {"1-2-3-45-", ""},
        // A double-byte character stays whole when reversed or swapped.
        {"\x95\x5Cx-y-z-ab-cd", "X\x95\x5CYZBADC"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(PackGUID(row.code), row.packed);
    }
}

TEST(SplitString, AppendsOnlyNonEmptyParts) {
    using Parts = std::vector<std::string>;
    auto split = [](std::string_view text, std::string_view delimiters) {
        Parts parts;
        SplitString(text, delimiters, parts);
        return parts;
    };
    EXPECT_EQ(split("a--b-", "-"), (Parts{"a", "b"}));
    EXPECT_EQ(split("6..0.1234", "."), (Parts{"6", "0", "1234"}));
    EXPECT_EQ(split("a;b:c", ";:"), (Parts{"a", "b", "c"}));
    EXPECT_EQ(split("", "-"), Parts{});
    EXPECT_EQ(split("---", "-"), Parts{});
    EXPECT_EQ(split("a.b", ""), Parts{"a.b"});
    // ソ ends in 0x5C; a "\" delimiter must not cut it.
    EXPECT_EQ(split("\x83\x5C\\x", "\\"), (Parts{"\x83\x5C", "x"}));
    // The list is not cleared first.
    Parts parts{"kept"};
    SplitString("x", ".", parts);
    EXPECT_EQ(parts, (Parts{"kept", "x"}));
}

} // namespace
