// Dialog template 134 as compiled into Setup.exe, byte for byte where it matters.
#include "readiness/readiness_resource.h"

#include "os/sim/resources.h"
#include "support/compiled_resources.h"
#include "text/mbstring.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogTemplate, TheVersionInformationDialog) {
    sim::ResourceSet resources;
    resources.Load(test::CompiledResources());
    const auto bytes = resources.Find(5, IDD_WINDOWS_INSTALLER_VERINFO);
    ASSERT_TRUE(bytes);
    const sim::DialogTemplate dialog = sim::ParseDialogTemplate(*bytes);
    EXPECT_EQ(dialog.caption, "Windows Installer バージョン情報");
    EXPECT_EQ(dialog.caption, "Windows Installer \x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93\x8F\xEE"
                              "\x95\xF1");
    EXPECT_EQ(dialog.style, 0x80C000C8u);
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.cx, 184);
    EXPECT_EQ(dialog.cy, 129);
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.weight, 400);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charSet, 1);
    EXPECT_EQ(dialog.typeface, "MS Shell Dlg");

    struct Item {
        DWORD id;
        const char* className;
        std::string text;
        short x, y, cx, cy;
        DWORD style;
    };
    const Item expected[] = {
        {2, "Button", "いいえ(&N)", 96, 109, 50, 14, 0x50010001},
        {1, "Button", "はい(&Y)", 29, 109, 50, 14, 0x50010000},
        {1003, "SysListView32", "", 6, 6, 174, 51, 0x50808801},
        {1004, "Static", "スタティック", 6, 59, 174, 27, 0x50020000},
        {1005, "Static", "スタティック", 18, 85, 156, 10, 0x50020100},
        {1006, "Static", "インストールを続行しますか？", 6, 98, 174, 8, 0x50020000},
    };
    ASSERT_EQ(dialog.items.size(), std::size(expected));
    for (std::size_t index = 0; index < std::size(expected); ++index) {
        SCOPED_TRACE(index);
        const sim::DialogItem& item = dialog.items[index];
        EXPECT_EQ(item.id, expected[index].id);
        // Class names are matched without regard to case; windres writes them in capitals.
        EXPECT_EQ(text::MakeUpper(item.className), text::MakeUpper(expected[index].className));
        EXPECT_EQ(item.text, expected[index].text);
        EXPECT_EQ(item.x, expected[index].x);
        EXPECT_EQ(item.y, expected[index].y);
        EXPECT_EQ(item.cx, expected[index].cx);
        EXPECT_EQ(item.cy, expected[index].cy);
        EXPECT_EQ(item.style, expected[index].style);
        EXPECT_EQ(item.exStyle, 0u);
    }
    // いいえ(&N) in code page 932.
    EXPECT_EQ(dialog.items[0].text, "\x82\xA2\x82\xA2\x82\xA6(&N)");
}

} // namespace
