#include "log/install_log.h"

#include "os/sim/machine.h"

#include <gtest/gtest.h>

namespace {

constexpr char kTemp[] = "C:\\Users\\user\\AppData\\Local\\Temp\\";

TEST(InstallLogName, SilentModeUsesTheGivenNameOrTheFixedPath) {
    sim::Machine machine;
    EXPECT_EQ(GetInstallLogName(1, "C:\\Logs\\a b.log"), "C:\\Logs\\a b.log");
    EXPECT_EQ(GetInstallLogName(1, ""), "C:\\NimbraInstallLog.log");
    machine.SetTempPath(std::nullopt);
    EXPECT_EQ(GetInstallLogName(1, "x.log"), "x.log");
    // Unattended mode is silent mode too.
    EXPECT_EQ(GetInstallLogName(2, "x.log"), "x.log");
    EXPECT_EQ(GetInstallLogName(2, ""), "C:\\NimbraInstallLog.log");
}

TEST(InstallLogName, NormalModeStampsANameInTheTemporaryFolder) {
    sim::Machine machine;
    machine.Time().SetLocalTime(2026, 12, 7, 22, 24, 45);
    // A name from the command line counts only in silent mode.
    EXPECT_EQ(GetInstallLogName(0, "C:\\Logs\\x.log"),
              std::string(kTemp) + "Install_QernoE_2026_1207_222445.log");
    machine.Time().AdvanceSeconds(1);
    EXPECT_EQ(GetInstallLogName(0, ""), std::string(kTemp) + "Install_QernoE_2026_1207_222446.log");
}

TEST(InstallLogName, NormalModeWithoutTemporaryFolderUsesTheFixedPath) {
    sim::Machine machine;
    machine.SetTempPath(std::nullopt);
    EXPECT_EQ(GetInstallLogName(0, ""), "C:\\NimbraInstallLog.log");
}

TEST(InstallLogName, TheFolderIsTakenInItsLongForm) {
    sim::Machine machine;
    machine.Files().CreateFolder("C:\\Documents and Settings\\taro\\Temp");
    machine.Files().SetShortName("C:\\Documents and Settings", "DOCUME~1");
    machine.SetTempPath("C:\\DOCUME~1\\taro\\Temp\\");
    machine.Time().SetLocalTime(2027, 1, 2, 3, 4, 5);
    EXPECT_EQ(GetInstallLogName(0, ""),
              "C:\\Documents and Settings\\taro\\Temp\\Install_QernoE_2027_0102_030405.log");
}

class DeleteOldInstallLogsTest : public ::testing::Test {
protected:
    void AddLogs(int count) {
        for (int index = 0; index < count; ++index) {
            machine.Files().WriteFile(Log(index), "log");
        }
    }
    static std::string Log(int index) {
        char name[64];
        std::snprintf(name, sizeof name, "Install_QernoE_2026_1207_2224%02d.log", index);
        return std::string(kTemp) + name;
    }
    void TearDown() override { EXPECT_EQ(machine.OpenFinds(), 0u); }

    sim::Machine machine;
};

TEST_F(DeleteOldInstallLogsTest, SixLogsLoseTheOldest) {
    AddLogs(6);
    DeleteOldInstallLogs("QernoE");
    EXPECT_FALSE(machine.Files().Exists(Log(0)));
    for (int index = 1; index < 6; ++index) {
        EXPECT_TRUE(machine.Files().Exists(Log(index))) << index;
    }
}

TEST_F(DeleteOldInstallLogsTest, FiveOrFewerStay) {
    AddLogs(5);
    DeleteOldInstallLogs("QernoE");
    for (int index = 0; index < 5; ++index) {
        EXPECT_TRUE(machine.Files().Exists(Log(index))) << index;
    }
    DeleteOldInstallLogs("QernoE"); // none at all in another folder is fine too
}

TEST_F(DeleteOldInstallLogsTest, FoldersAndOtherNamesNeitherCountNorGo) {
    AddLogs(5);
    machine.Files().CreateFolder(std::string(kTemp) + "Install_QernoE_0000_0000_000000.log");
    machine.Files().WriteFile(std::string(kTemp) + "Install_Other_2020_0101_000000.log", "");
    machine.Files().WriteFile(std::string(kTemp) + "Install_QernoE_2020.txt", "");
    machine.Files().WriteFile("C:\\NimbraInstallLog.log", "");
    DeleteOldInstallLogs("QernoE");
    EXPECT_TRUE(
        PathIsDirectoryA((std::string(kTemp) + "Install_QernoE_0000_0000_000000.log").c_str()));
    EXPECT_TRUE(machine.Files().Exists(std::string(kTemp) + "Install_Other_2020_0101_000000.log"));
    EXPECT_TRUE(machine.Files().Exists(std::string(kTemp) + "Install_QernoE_2020.txt"));
    for (int index = 0; index < 5; ++index) {
        EXPECT_TRUE(machine.Files().Exists(Log(index))) << index;
    }
}

TEST_F(DeleteOldInstallLogsTest, ALogThatCannotGoStaysAndTheRestAreStillDeleted) {
    AddLogs(8);
    machine.Files().SetAttributes(Log(0), FILE_ATTRIBUTE_READONLY);
    DeleteOldInstallLogs("QernoE");
    EXPECT_TRUE(machine.Files().Exists(Log(0)));
    EXPECT_FALSE(machine.Files().Exists(Log(1)));
    EXPECT_FALSE(machine.Files().Exists(Log(2)));
    EXPECT_TRUE(machine.Files().Exists(Log(3)));
}

TEST_F(DeleteOldInstallLogsTest, OrderIsByNameNotByCreation) {
    machine.Files().WriteFile(Log(9), "written first");
    machine.Time().AdvanceSeconds(60);
    AddLogs(5);
    DeleteOldInstallLogs("QernoE");
    EXPECT_FALSE(machine.Files().Exists(Log(0)));
    EXPECT_TRUE(machine.Files().Exists(Log(9)));
}

TEST_F(DeleteOldInstallLogsTest, NoTemporaryFolderDoesNothing) {
    AddLogs(7);
    machine.SetTempPath(std::nullopt);
    DeleteOldInstallLogs("QernoE");
    EXPECT_TRUE(machine.Files().Exists(Log(0)));
}

} // namespace
