#include "os/sim/code_page.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(SimCodePage, CharactersTheCodePageLacksBecomeOneQuestionMarkEach) {
    const struct {
        std::u16string text;
        std::string expected;
    } cases[] = {
        {u"表ソ", "\x95\x5C\x83\x5C"},
        {u"a€b", "a?b"},
        {u"😀!", "?!"},      // a surrogate pair is one character
        {u"x\xD800", "x?"}, // a lone surrogate at the end
        {u"\xDC00y", "?y"}, // and one in front
        {u"", ""},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(sim::Utf16ToCp932Lossy(each.text), each.expected);
    }
    EXPECT_EQ(sim::Utf16ToCp932(u"表ソ"), "\x95\x5C\x83\x5C");
    const std::u16string euro = u"€";
    EXPECT_THROW(sim::Utf16ToCp932(euro), std::runtime_error);
}

} // namespace
