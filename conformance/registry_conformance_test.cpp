// The two registry views of a 32-bit program on 64-bit Windows, and reading a string value.
#include "scratch_fixture.h"

#include "backup/move_journal.h"
#include "msiquery/pack_guid.h"
#include "msiquery/product_inst_dir.h"

#include <string>

namespace conformance {
namespace {

constexpr char kProducts[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\";
// A product code of the tests' own, so that nothing real is touched.
constexpr char kCode[] = "{0C0F0E0D-1A2B-3C4D-5E6F-708192A3B4C5}";
constexpr char kPacked[] = "D0E0F0C0B2A1D4C3E5F60718293A4B5C";

class RegistryTest : public ::testing::Test {
protected:
    static void SetString(REGSAM view, const std::string& subKey, const char* name, DWORD type,
                          const std::string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | view, nullptr, &key,
                                  nullptr),
                  static_cast<LONG>(ERROR_SUCCESS));
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)),
                  static_cast<LONG>(ERROR_SUCCESS));
        RegCloseKey(key);
    }
    static void Remove(REGSAM view, const std::string& subKey) {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), view, 0);
    }
};

TEST_F(RegistryTest, TheTestProductsKeyIsNamedByItsPackedCode) {
    EXPECT_EQ(PackGUID(kCode), kPacked);
}

TEST_F(RegistryTest, AKeyOfThe64BitViewIsSeenOnlyWhenAskedFor) {
    const std::string subKey = std::string(kProducts) + kPacked;
    SetString(KEY_WOW64_64KEY, subKey, "DInstDir", REG_SZ, "C:\\Program Files\\QernoE\\");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ, &key),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key),
        static_cast<LONG>(ERROR_SUCCESS));
    RegCloseKey(key);

    std::string folder;
    EXPECT_TRUE(GetProductInstDir(kCode, folder));
    EXPECT_EQ(folder, "C:\\Program Files\\QernoE\\");
    Remove(KEY_WOW64_64KEY, subKey);
}

TEST_F(RegistryTest, TheValueSizeProtocol) {
    const std::string subKey = std::string(kProducts) + kPacked;
    SetString(KEY_WOW64_32KEY, subKey, "DInstDir", REG_EXPAND_SZ, "%ProgramFiles%\\Q");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ, &key),
              static_cast<LONG>(ERROR_SUCCESS));
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "DInstDir", nullptr, &type, nullptr, &size),
              static_cast<LONG>(ERROR_SUCCESS));
    EXPECT_EQ(type, REG_EXPAND_SZ);
    EXPECT_GE(size, 17u); // the text and its NUL, at least
    char small[4] = {};
    DWORD smallSize = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "DInstDir", nullptr, &type, reinterpret_cast<BYTE*>(small),
                               &smallSize),
              static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_GE(smallSize, 17u);
    EXPECT_EQ(RegQueryValueExA(key, "None", nullptr, &type, nullptr, &size),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    RegCloseKey(key);

    // Of another type than REG_SZ, the folder counts as missing.
    std::string folder = "untouched";
    EXPECT_FALSE(GetProductInstDir(kCode, folder));
    EXPECT_EQ(folder, "untouched");
    Remove(KEY_WOW64_32KEY, subKey);
}

// The journal of moved files: written whole and flushed, read back byte for byte, removed; a
// removal with nothing left is no failure.
TEST_F(RegistryTest, TheMoveJournalGoesToTheRegistryAndAway) {
    const tagMoveJournal written{kCode,
                                 {"C:\\P\\a.dll\tC:\\P\\Bakup_a.dll\t",
                                  "C:\\P\\\x95\x5C.dll\tC:\\P\\Bakup_\x95\x5C.dll\tx"}};
    ASSERT_TRUE(WriteMoveJournal(written));
    tagMoveJournal read;
    ASSERT_EQ(ReadMoveJournal(read), JournalState::Found);
    EXPECT_EQ(read.strProductCode, written.strProductCode);
    EXPECT_EQ(read.lines, written.lines);
    EXPECT_TRUE(RemoveMoveJournal());
    EXPECT_EQ(ReadMoveJournal(read), JournalState::None);
    EXPECT_TRUE(RemoveMoveJournal());
}

} // namespace
} // namespace conformance
