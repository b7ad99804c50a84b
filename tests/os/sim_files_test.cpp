// The simulated file system behaves as Windows does where the launcher depends on it.
#include "os/sim/machine.h"
#include "os/win32api.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

TEST(SimFiles, NamesMatchWithoutRegardToCaseAndKeepTheirOwn) {
    sim::Machine machine;
    machine.Files().WriteFile("C:\\Setup\\Install.dat", "x");
    EXPECT_EQ(machine.Files().ReadFile("c:/SETUP/install.DAT"), "x");
    EXPECT_EQ(machine.Files().Lookup("C:\\SETUP\\INSTALL.DAT")->name, "Install.dat");
    EXPECT_EQ(machine.Files().ReadFile("C:\\Setup\\.\\sub\\..\\Install.dat"), "x");
    EXPECT_FALSE(machine.Files().Exists("D:\\Setup\\Install.dat"));
}

TEST(SimFiles, ASecondByte5CIsNotASeparator) {
    sim::Machine machine;
    machine.Files().WriteFile("C:\\\x95\x5C\\Setup.exe", "MZ"); // C:\表\Setup.exe
    EXPECT_TRUE(machine.Files().Exists("C:\\\x95\x5C"));
    EXPECT_FALSE(machine.Files().Exists("C:\\\x95"));
    EXPECT_TRUE(PathIsDirectoryA("C:\\\x95\x5C\\"));
}

TEST(SimFiles, PathTestsAnswerAsShellApiDoes) {
    sim::Machine machine;
    machine.Files().WriteFile("C:\\a\\file.txt", "");
    EXPECT_EQ(PathFileExistsA("C:\\a\\file.txt"), TRUE);
    EXPECT_EQ(PathFileExistsA("C:\\a"), TRUE);
    EXPECT_EQ(PathFileExistsA("C:\\a\\none.txt"), FALSE);
    // The attribute bit, not 1.
    EXPECT_EQ(PathIsDirectoryA("C:\\a"), 16);
    EXPECT_EQ(PathIsDirectoryA("C:\\a\\file.txt"), FALSE);
}

TEST(SimFiles, AttributeDataReportsSizeAndMissingPaths) {
    sim::Machine machine;
    machine.Files().WriteFile("C:\\t\\big.log", std::string(1'048'577, 'x'));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA("C:\\t\\big.log", GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_EQ(data.nFileSizeLow, 1'048'577u);
    EXPECT_FALSE(GetFileAttributesExA("C:\\t\\none.log", GetFileExInfoStandard, &data));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(GetFileAttributesExA("C:\\none\\x.log", GetFileExInfoStandard, &data));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(SimFiles, TextStreamsWriteCrLfAndBinaryStreamsDoNot) {
    sim::Machine machine;
    std::FILE* text = _fsopen("C:\\t.log", "wt", _SH_DENYWR);
    ASSERT_NE(text, nullptr);
    std::fputs("a\nb\n", text);
    std::fclose(text);
    EXPECT_EQ(machine.Files().ReadFile("C:\\t.log"), "a\r\nb\r\n");

    std::FILE* binary = _fsopen("C:\\t.log", "ab", _SH_DENYWR);
    ASSERT_NE(binary, nullptr);
    std::fputs("c\n", binary);
    std::fclose(binary);
    EXPECT_EQ(machine.Files().ReadFile("C:\\t.log"), "a\r\nb\r\nc\n");
}

TEST(SimFiles, OpeningFollowsSharingModesOfOtherProcesses) {
    sim::Machine machine;
    machine.Files().WriteFile("C:\\t.log", "old");
    {
        // Another process writes the file: our deny-write open conflicts both ways.
        auto writer = machine.Files().HoldOpen("C:\\t.log", GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE);
        EXPECT_EQ(_fsopen("C:\\t.log", "at", _SH_DENYWR), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        EXPECT_EQ(_fsopen("C:\\t.log", "wt", _SH_DENYWR), nullptr);
        EXPECT_EQ(machine.Files().ReadFile("C:\\t.log"), "old"); // not truncated
    }
    {
        // A reader that lets others write does not stand in the way.
        auto reader =
            machine.Files().HoldOpen("C:\\t.log", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
        std::FILE* stream = _fsopen("C:\\t.log", "at", _SH_DENYWR);
        ASSERT_NE(stream, nullptr);
        // While we write, others may read but not write.
        EXPECT_NO_THROW(machine.Files().HoldOpen("C:\\t.log", GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE));
        EXPECT_THROW(machine.Files().HoldOpen("C:\\t.log", GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE),
                     std::runtime_error);
        std::fclose(stream);
    }
    {
        // A reader that denies writing blocks us.
        auto reader = machine.Files().HoldOpen("C:\\t.log", GENERIC_READ, FILE_SHARE_READ);
        EXPECT_EQ(_fsopen("C:\\t.log", "at", _SH_DENYWR), nullptr);
    }
}

TEST(SimFiles, FoldersReadOnlyFilesAndMissingFoldersRefuseWriting) {
    sim::Machine machine;
    machine.Files().CreateFolder("C:\\dir");
    EXPECT_EQ(_fsopen("C:\\dir", "wt", _SH_DENYWR), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    machine.Files().WriteFile("C:\\ro.log", "keep", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(_fsopen("C:\\ro.log", "wt", _SH_DENYWR), nullptr);
    EXPECT_EQ(machine.Files().ReadFile("C:\\ro.log"), "keep");

    EXPECT_EQ(_fsopen("C:\\none\\x.log", "wt", _SH_DENYWR), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(SimFiles, LongPathNameExpandsAliasesAndReportsTheSizeItNeeds) {
    sim::Machine machine;
    machine.Files().CreateFolder("C:\\Documents and Settings\\taro\\Temp");
    machine.Files().SetShortName("C:\\Documents and Settings", "DOCUME~1");
    char buffer[MAX_PATH] = {};
    const DWORD length = GetLongPathNameA("C:\\DOCUME~1\\taro\\Temp\\", buffer, MAX_PATH);
    EXPECT_STREQ(buffer, "C:\\Documents and Settings\\taro\\Temp\\");
    EXPECT_EQ(length, 36u);

    char small[8] = "unused";
    EXPECT_EQ(GetLongPathNameA("C:\\DOCUME~1\\taro\\Temp\\", small, sizeof small), 37u);
    EXPECT_STREQ(small, "unused");

    EXPECT_EQ(GetLongPathNameA("C:\\nowhere\\", buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(SimFiles, AnAliasFindsItsEntryUntilTheEntryIsRenamedRemovedOrReAliased) {
    sim::Machine machine;
    sim::FileSystem& files = machine.Files();
    files.WriteFile("C:\\Long Folder\\Old name.dll", "old");
    files.WriteFile("C:\\Long Folder\\Gone name.dll", "gone");
    files.WriteFile("C:\\Long Folder\\Replaced.dll", "replaced");
    files.WriteFile("C:\\Long Folder\\Source.dll", "source");
    files.SetShortName("C:\\Long Folder", "LONGFO~1");
    files.SetShortName("C:\\LONGFO~1\\Old name.dll", "OLDNAM~1.DLL");
    files.SetShortName("C:\\Long Folder\\OLDNAM~1.DLL", "OLDNAM~2.DLL");
    files.SetShortName("C:\\Long Folder\\Gone name.dll", "GONENA~1.DLL");
    files.SetShortName("C:\\Long Folder\\Replaced.dll", "REPLAC~1.DLL");
    EXPECT_THROW(files.SetShortName("C:\\Long Folder\\Source.dll", "gonena~1.dll"),
                 std::logic_error);
    ASSERT_TRUE(DeleteFileA("C:\\Long Folder\\Gone name.dll"));
    ASSERT_TRUE(MoveFileExA("C:\\Long Folder\\Source.dll", "C:\\Long Folder\\Replaced.dll",
                            MOVEFILE_REPLACE_EXISTING));
    files.WriteFile("C:\\Other\\x.txt", "");
    ASSERT_TRUE(MoveFileA("C:\\Long Folder", "C:\\Other\\Moved"));

    struct Case {
        const char* path;
        const char* data; // nullptr: not found
    };
    const Case cases[] = {
        {"C:\\Other\\Moved\\oldnam~2.dll", "old"},    {"C:\\Other\\Moved\\OLDNAM~1.DLL", nullptr},
        {"C:\\Other\\Moved\\GONENA~1.DLL", nullptr},  {"C:\\Other\\Moved\\REPLAC~1.DLL", nullptr},
        {"C:\\Other\\Moved\\Replaced.dll", "source"}, {"C:\\LONGFO~1\\Old name.dll", nullptr}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.path);
        const std::optional<std::string> data = files.ReadFile(test.path);
        EXPECT_EQ(data.has_value(), test.data != nullptr);
        if (data && test.data != nullptr) {
            EXPECT_EQ(*data, test.data);
        }
        DWORD error = 0;
        EXPECT_EQ(files.LongPath(test.path, error).has_value(), test.data != nullptr);
    }
}

} // namespace
