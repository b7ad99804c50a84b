// Code page 932 text turned into UTF-16 as the media tool's JSON report does it.
#include "scratch_fixture.h"

#include <string>
#include <vector>

namespace conformance {
namespace {

using TextTest = ScratchTest;

std::u16string Wide(const std::string& text) {
    const int needed =
        MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::vector<WCHAR> wide(static_cast<std::size_t>(needed > 0 ? needed : 1));
    const int written = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()),
                                            wide.data(), needed);
    EXPECT_EQ(written, needed);
    return std::u16string(wide.begin(), wide.begin() + (written > 0 ? written : 0));
}

TEST_F(TextTest, TheLaunchersTextsInUtf16) {
    // 表's second byte is 0x5C; the line feeds are bare.
    EXPECT_EQ(Wide("表示"), u"表示");
    EXPECT_EQ(Wide("アップデート対象の製品が存在しません。\n\nセットアップを終了します。\n"),
              u"アップデート対象の製品が存在しません。\n\nセットアップを終了します。\n");
    EXPECT_EQ(Wide("QernoE6 E Build 1234はすでに適用済です。"),
              u"QernoE6 E Build 1234はすでに適用済です。");
    // -1: the text and its NUL.
    WCHAR buffer[8] = {};
    EXPECT_EQ(MultiByteToWideChar(932, 0, "ab", -1, buffer, 8), 3);
    EXPECT_EQ(buffer[1], u'b');
    // Too small a buffer.
    EXPECT_EQ(MultiByteToWideChar(932, 0, "abc", 3, buffer, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

} // namespace
} // namespace conformance
