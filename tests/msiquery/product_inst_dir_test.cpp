#include "msiquery/product_inst_dir.h"
#include "msiquery/registry_key.h"

#include "os/sim/machine.h"

#include <gtest/gtest.h>

namespace {

constexpr char kCode[] = "{12345678-ABCD-EF01-2345-6789ABCDEF01}";
constexpr char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\"
                        "S-1-5-18\\Products\\87654321DCBA10FE32547698BADCFE10";

class ProductInstDirTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(machine.Keys().OpenKeys(), 0u); }

    sim::Machine machine;
    std::string folder = "untouched";
};

TEST_F(ProductInstDirTest, FoundInTheProgramsOwnView) {
    machine.Keys().SetString(HKEY_LOCAL_MACHINE, sim::RegView::Bits32, kKey, "DInstDir",
                             "C:\\Program Files\\QernoE\\");
    EXPECT_TRUE(GetProductInstDir(kCode, folder));
    EXPECT_EQ(folder, "C:\\Program Files\\QernoE\\");
}

TEST_F(ProductInstDirTest, FoundOnlyInThe64BitView) {
    machine.Keys().SetString(HKEY_LOCAL_MACHINE, sim::RegView::Bits64, kKey, "DInstDir",
                             "C:\\Program Files (x86)\\QernoE\\");
    // The same code in other letters and without braces names the same key.
    EXPECT_TRUE(GetProductInstDir("12345678-abcd-ef01-2345-6789abcdef01", folder));
    EXPECT_EQ(folder, "C:\\Program Files (x86)\\QernoE\\");
}

TEST_F(ProductInstDirTest, OnThirtyTwoBitWindowsThereIsOneView) {
    machine.Keys().SetWindows64Bit(false);
    machine.Keys().SetString(HKEY_LOCAL_MACHINE, sim::RegView::Default, kKey, "DInstDir",
                             "C:\\QernoE\\");
    EXPECT_TRUE(GetProductInstDir(kCode, folder));
    EXPECT_EQ(folder, "C:\\QernoE\\");
}

TEST_F(ProductInstDirTest, OtherValueTypesAndMissingValuesCountAsMissing) {
    machine.Keys().SetValue(HKEY_LOCAL_MACHINE, sim::RegView::Bits64, kKey, "DInstDir",
                            REG_EXPAND_SZ, std::string("%ProgramFiles%\\QernoE", 22));
    EXPECT_FALSE(GetProductInstDir(kCode, folder));
    machine.Keys().SetValue(HKEY_LOCAL_MACHINE, sim::RegView::Bits64, kKey, "DInstDir", REG_DWORD,
                            std::string(4, '\0'));
    EXPECT_FALSE(GetProductInstDir(kCode, folder));
    machine.Keys().SetString(HKEY_LOCAL_MACHINE, sim::RegView::Bits64, kKey, "Other", "x");
    machine.Keys().SetValue(HKEY_LOCAL_MACHINE, sim::RegView::Bits64, kKey, "DInstDir", REG_SZ, "");
    // An empty REG_SZ without even its NUL reads as the empty text.
    EXPECT_TRUE(GetProductInstDir(kCode, folder));
    EXPECT_EQ(folder, "");
}

TEST_F(ProductInstDirTest, NoRegistrationLeavesTheFolderAlone) {
    EXPECT_FALSE(GetProductInstDir(kCode, folder));
    EXPECT_FALSE(GetProductInstDir("not a code", folder));
    EXPECT_EQ(folder, "untouched");
}

TEST_F(ProductInstDirTest, AValueStoredWithoutItsNulStillEnds) {
    machine.Keys().SetValue(HKEY_LOCAL_MACHINE, sim::RegView::Bits64, kKey, "DInstDir", REG_SZ,
                            "C:\\Q");
    EXPECT_TRUE(GetProductInstDir(kCode, folder));
    EXPECT_EQ(folder, "C:\\Q");
}

TEST(RegistryKey, FlushesAndClosesWhatItHoldsOnEveryPath) {
    sim::Machine machine;
    {
        CRegistryKey key;
        EXPECT_TRUE(key.Open(nullptr, "Software\\Nimbra", true, true)); // HKCU, created
        EXPECT_TRUE(
            machine.Keys().KeyExists(HKEY_CURRENT_USER, sim::RegView::Default, "Software\\Nimbra"));
        EXPECT_EQ(machine.Keys().OpenKeys(), 1u);
        // Opening another key closes the first, flushing it when asked.
        EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, "Software", false, true));
        EXPECT_EQ(machine.Keys().OpenKeys(), 1u);
        EXPECT_EQ(machine.Keys().Flushes(), 1u);
        EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, "Software\\None", false, false));
        EXPECT_EQ(machine.Keys().OpenKeys(), 0u);
        EXPECT_EQ(machine.Keys().Flushes(), 1u);
        key.Close(); // nothing held: nothing happens
        EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, "Software", false, false));
    }
    EXPECT_EQ(machine.Keys().OpenKeys(), 0u);
    EXPECT_EQ(machine.Keys().Flushes(), 2u);
}

} // namespace
