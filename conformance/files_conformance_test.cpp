// Temporary names, copy, delete and file search as the launcher depends on them.
#include "scratch_fixture.h"

#include "os/scoped_handle.h"
#include "text/mbstring.h"

#include <functional>
#include <string>
#include <vector>

namespace conformance {
namespace {

using FilesTest = ScratchTest;

bool NamesTempFile(const std::string& folder, const std::string& path) {
    // folder + "tmp" + hexadecimal digits + ".tmp"; Wine writes the digits in lower case.
    const std::string upper = text::MakeUpper(path);
    const std::string head = text::MakeUpper(folder) + "TMP";
    if (upper.rfind(head, 0) != 0 || upper.size() < head.size() + 5 ||
        upper.substr(upper.size() - 4) != ".TMP") {
        return false;
    }
    const std::string digits = upper.substr(head.size(), upper.size() - head.size() - 4);
    return digits.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

TEST_F(FilesTest, TemporaryNamesAreNewEmptyFiles) {
    char first[MAX_PATH] = {};
    char second[MAX_PATH] = {};
    EXPECT_NE(GetTempFileNameA(m_folder.c_str(), "tmp", 0, first), 0u);
    EXPECT_NE(GetTempFileNameA(m_folder.c_str(), "tmpfile", 0, second), 0u);
    EXPECT_TRUE(NamesTempFile(m_folder, first)) << first;
    EXPECT_TRUE(NamesTempFile(m_folder, second)) << second;
    EXPECT_STRNE(first, second);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(first, GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    // Without the trailing backslash the name is the same kind.
    char third[MAX_PATH] = {};
    EXPECT_NE(GetTempFileNameA(m_folder.substr(0, m_folder.size() - 1).c_str(), "tmp", 0, third),
              0u);
    EXPECT_TRUE(NamesTempFile(m_folder, third)) << third;
}

TEST_F(FilesTest, NoTemporaryNameInAMissingFolderOrAFile) {
    char name[MAX_PATH] = {};
    EXPECT_EQ(GetTempFileNameA(Path("none").c_str(), "tmp", 0, name), 0u);
    const std::string file = Write("file", "x");
    EXPECT_EQ(GetTempFileNameA(file.c_str(), "tmp", 0, name), 0u);
}

TEST_F(FilesTest, ACopyOfAReadOnlyFileIsReadOnlyWithTheSameBytesAndTime) {
    const std::string source = Write("Install.dat", "[Install]\r\n");
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string target = Path("copy.dat");
    SetLastError(5);
    ASSERT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_NE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    WIN32_FILE_ATTRIBUTE_DATA from{};
    WIN32_FILE_ATTRIBUTE_DATA to{};
    ASSERT_TRUE(GetFileAttributesExA(source.c_str(), GetFileExInfoStandard, &from));
    ASSERT_TRUE(GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &to));
    EXPECT_EQ(to.nFileSizeLow, 11u);
    EXPECT_EQ(to.ftLastWriteTime.dwLowDateTime, from.ftLastWriteTime.dwLowDateTime);
    EXPECT_EQ(to.ftLastWriteTime.dwHighDateTime, from.ftLastWriteTime.dwHighDateTime);
}

TEST_F(FilesTest, ACopyOntoAReadOnlyFileIsRefused) {
    const std::string source = Write("a.dat", "new");
    const std::string target = Write("b.dat", "old");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    SKIP_UNDER_WINE("CopyFile fails with access denied (5) and the file keeps its bytes");
    EXPECT_FALSE(CopyFileA(source.c_str(), target.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(FilesTest, AMoveOntoAReadOnlyFileIsRefusedUntilItsAttributesAreCleared) {
    // A failed installer can leave a read-only file where a backup must go back.
    const std::string backup = Write("Bakup_a.dll", "before");
    const std::string own = Write("a.dll", "half-patched");
    ASSERT_TRUE(SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_READONLY));
    SKIP_UNDER_WINE("MoveFileEx with MOVEFILE_REPLACE_EXISTING fails with access denied (5)");
    EXPECT_FALSE(MoveFileExA(backup.c_str(), own.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(MoveFileExA(backup.c_str(), own.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, ACopyOverAnExistingFileTakesTheSourcesAttributes) {
    // The settings copy goes over the empty file GetTempFileNameA made.
    const std::string source = Write("Install.dat", "[Install]\r\n");
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY));
    char target[MAX_PATH] = {};
    ASSERT_NE(GetTempFileNameA(m_folder.c_str(), "tmp", 0, target), 0u);
    ASSERT_TRUE(CopyFileA(source.c_str(), target, FALSE));
    SKIP_UNDER_WINE("the existing file becomes read-only like its source");
    EXPECT_NE(GetFileAttributesA(target) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(FilesTest, AFileHeldWithOnlyReadingSharedCanBeReadButNotChangedMovedOrDeleted) {
    const std::string held = Write("held.msp", "checked bytes");
    const std::string other = Write("other.msp", "other bytes");
    CFileHandle hold(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(hold.IsValid()) << GetLastError();
    CFileHandle reader(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(reader.IsValid()) << "another reader";
    EXPECT_TRUE(CopyFileA(held.c_str(), Path("copy.msp").c_str(), FALSE)) << "a copy of it";
    const std::string renamed = Path("renamed.msp");
    const struct {
        const char* name;
        std::function<bool()> attempt;
    } changes[] = {
        {"a writer",
         [&] {
             CFileHandle writer(CreateFileA(held.c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                            nullptr));
             return writer.IsValid();
         }},
        {"an open to rename or delete it",
         [&] {
             CFileHandle renamer(CreateFileA(
                 held.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
             return renamer.IsValid();
         }},
        {"a copy over it", [&] { return CopyFileA(other.c_str(), held.c_str(), FALSE) != FALSE; }},
        {"a move over it",
         [&] {
             return MoveFileExA(other.c_str(), held.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
         }},
        {"a rename", [&] { return MoveFileA(held.c_str(), renamed.c_str()) != FALSE; }},
        {"a delete", [&] { return DeleteFileA(held.c_str()) != FALSE; }},
    };
    for (const auto& change : changes) {
        EXPECT_FALSE(change.attempt()) << change.name;
        EXPECT_EQ(ReadBytes(held), "checked bytes") << change.name;
    }
    reader.Reset();
    hold.Reset();
    EXPECT_TRUE(DeleteFileA(held.c_str())) << "once closed";
}

// Whoever opened a file to rename or delete it first keeps it from being held so.
TEST_F(FilesTest, AFileOpenToBeRenamedCannotBeHeldWithOnlyReadingShared) {
    const std::string path = Write("Setup.exe", "MZ");
    CFileHandle renamer(CreateFileA(path.c_str(), DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(renamer.IsValid()) << GetLastError();
    CFileHandle hold(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(hold.IsValid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

TEST_F(FilesTest, CopyFailures) {
    const std::string source = Write("a.dat", "a");
    EXPECT_FALSE(CopyFileA(Path("none.dat").c_str(), Path("b.dat").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(CopyFileA(source.c_str(), source.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(CopyFileA(source.c_str(), Path("none\\b.dat").c_str(), FALSE));
}

TEST_F(FilesTest, DeletingReadOnlyFilesFoldersAndMissingFiles) {
    const std::string file = Write("ro.log", "x");
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteFileA(file.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(CreateDirectoryA(Path("dir").c_str(), nullptr));
    EXPECT_FALSE(DeleteFileA(Path("dir").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DeleteFileA(Path("none.log").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileA(file.c_str()));
}

std::vector<std::string> Search(const std::string& pattern, DWORD& error) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    CFindHandle find(FindFirstFileA(pattern.c_str(), &found));
    if (!find.IsValid()) {
        error = GetLastError();
        return names;
    }
    do {
        names.push_back(std::string(found.cFileName) +
                        ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "\\" : ""));
    } while (FindNextFileA(find.Get(), &found));
    error = GetLastError();
    return names;
}

TEST_F(FilesTest, ALogPatternMatchesFoldersTooAndListsInNameOrder) {
    Write("Install_QernoE_2026_1207_222446.log", "");
    Write("Install_QernoE_2026_1207_222445.log", "");
    Write("Install_Other_2026_1207_222445.log", "");
    Write("Install_QernoE_2026.txt", "");
    ASSERT_TRUE(CreateDirectoryA(Path("Install_QernoE_0000_0000_000000.log").c_str(), nullptr));
    DWORD error = 0;
    EXPECT_EQ(Search(Path("Install_QernoE_*.log"), error),
              (std::vector<std::string>{"Install_QernoE_0000_0000_000000.log\\",
                                        "Install_QernoE_2026_1207_222445.log",
                                        "Install_QernoE_2026_1207_222446.log"}));
    EXPECT_EQ(error, ERROR_NO_MORE_FILES);
}

TEST_F(FilesTest, AllNamesIncludeTheDotsFirst) {
    Write("b.msp", "");
    Write("A.msp", "");
    DWORD error = 0;
    EXPECT_EQ(Search(Path("*"), error),
              (std::vector<std::string>{".\\", "..\\", "A.msp", "b.msp"}));
}

TEST_F(FilesTest, NoMatchAndNoFolder) {
    DWORD error = 0;
    EXPECT_TRUE(Search(Path("*.msp"), error).empty());
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(Search(Path("none\\*.msp"), error).empty());
    EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
}

TEST_F(FilesTest, MovingBackReplacesAFileButNotAFolder) {
    const std::string backup = Write("Bakup_a.dll", "old");
    const std::string own = Write("a.dll", "half-patched");
    ASSERT_TRUE(MoveFileExA(backup.c_str(), own.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadBytes(own), "old");
    EXPECT_EQ(GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES);
    // Without the flag an existing name stays and the move fails.
    Write("Bakup_a.dll", "old");
    SetLastError(0);
    EXPECT_FALSE(MoveFileA(backup.c_str(), own.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CreateDirectoryA(Path("b.dll").c_str(), nullptr));
    EXPECT_FALSE(MoveFileExA(backup.c_str(), Path("b.dll").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadBytes(backup), "old");
    EXPECT_NE(GetFileAttributesA(Path("b.dll").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(LockTest, ANamedMutexExistsWhileAHandleIsOpen) {
    const char name[] = "Local\\QernoE_Update_Conformance";
    HANDLE first = CreateMutexA(nullptr, FALSE, name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE second = CreateMutexA(nullptr, FALSE, name);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
    HANDLE third = CreateMutexA(nullptr, FALSE, name);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(CloseHandle(third));
}

// How the recovery asks whether an installation is in progress: opening the name only.
TEST(LockTest, OpeningAMutexFindsItOnlyWhileItExists) {
    const char name[] = "Local\\QernoE_Update_Conformance_Open";
    EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, name), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    HANDLE made = CreateMutexA(nullptr, TRUE, name);
    ASSERT_NE(made, nullptr);
    HANDLE opened = OpenMutexA(SYNCHRONIZE, FALSE, name);
    EXPECT_NE(opened, nullptr);
    EXPECT_TRUE(CloseHandle(opened));
    EXPECT_TRUE(ReleaseMutex(made));
    EXPECT_TRUE(CloseHandle(made));
    EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, name), nullptr);
}

} // namespace
} // namespace conformance
