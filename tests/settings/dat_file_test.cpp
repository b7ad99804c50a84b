// The run's copy of Install.dat: its trace, each way it can fail, and its deletion.
#include "settings/dat_file.h"
#include "run/launch_context.h"
#include "log/trace_log.h"

#include "os/sim/machine.h"
#include "support/trace_file.h"

#include <gtest/gtest.h>

namespace {

using test::CrLfLines;
using test::kEnd;
using test::kStart;
using test::kTracePath;
using test::ReadTrace;

constexpr char kSource[] = "C:\\Setup\\Install.dat";
constexpr char kCopy[] = "C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp";
constexpr char kContent[] = "[Install]\r\nURL=https://example.com/\r\n";

class DatFileTest : public ::testing::Test {
protected:
    void SetUp() override { context.strExeDir = "C:\\Setup\\"; }

    // CopyDatFile inside a run of the trace log; the lines it wrote.
    std::string CopyAndTrace() {
        return test::TraceOf(machine, [&] { CopyDatFile(context); });
    }

    sim::Machine machine;
    tagLaunchContext context;
};

TEST_F(DatFileTest, CopiesToANewTemporaryFileAndTracesBothPaths) {
    machine.Files().WriteFile(kSource, kContent);
    EXPECT_EQ(CopyAndTrace(),
              CrLfLines({"    CopyDatFile-Start", "        CopyFile1:C:\\Setup\\Install.dat",
                         "        CopyFrom\x81\x46"
                         "C:\\Setup\\Install.dat",
                         "        CopyTo  \x81\x46" + std::string(kCopy), "    CopyDatFile-End"}));
    EXPECT_EQ(context.strDatPath, kCopy);
    EXPECT_EQ(machine.Files().ReadFile(kCopy), kContent);
    EXPECT_EQ(GetInstallDatUrl(context), "https://example.com/");
}

TEST_F(DatFileTest, ASecondCopyGetsItsOwnName) {
    machine.Files().WriteFile(kSource, kContent);
    CopyDatFile(context);
    const std::string first = context.strDatPath;
    CopyDatFile(context);
    EXPECT_NE(context.strDatPath, first);
    EXPECT_EQ(machine.Files().ReadFile(first), kContent);
}

TEST_F(DatFileTest, AReadOnlyOriginalGivesAWritableCopy) {
    machine.Files().WriteFile(kSource, kContent,
                              FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_ARCHIVE);
    CopyDatFile(context);
    EXPECT_EQ(GetFileAttributesA(kCopy), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(GetFileAttributesA(kSource) & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    DeleteDatFile(context);
    EXPECT_FALSE(machine.Files().Exists(kCopy));
}

TEST_F(DatFileTest, MissingSettingsOrAFolderInTheirPlace) {
    EXPECT_EQ(CopyAndTrace(),
              CrLfLines({"    CopyDatFile-Start", "        CopyFile1:C:\\Setup\\Install.dat",
                         "        Install.dat Err", "    CopyDatFile-End"}));
    EXPECT_EQ(context.strDatPath, "");
    EXPECT_EQ(GetInstallDatUrl(context), "");

    machine.Files().CreateFolder(kSource);
    CopyAndTrace();
    EXPECT_EQ(context.strDatPath, "");
}

TEST_F(DatFileTest, NoExecutableFolderLooksInTheCurrentFolder) {
    context.strExeDir = "";
    machine.Files().SetCurrentFolder("C:\\Media");
    machine.Files().WriteFile("C:\\Media\\Install.dat", kContent);
    const std::string opening =
        CrLfLines({"    CopyDatFile-Start", "        CopyFile1:Install.dat"});
    EXPECT_EQ(CopyAndTrace().substr(0, opening.size()), opening);
    EXPECT_EQ(machine.Files().ReadFile(context.strDatPath), kContent);
}

TEST_F(DatFileTest, AFolderNamedWithADoubleByteCharacterEndingIn5C) {
    // C:\表\ and C:\表 (no backslash of its own: one is added, the last byte 0x5C is 表's).
    machine.Files().WriteFile("C:\\\x95\x5C\\Install.dat", kContent);
    context.strExeDir = "C:\\\x95\x5C\\";
    const std::string trace = CopyAndTrace();
    EXPECT_NE(trace.find("        CopyFrom\x81\x46"
                         "C:\\\x95\x5C\\Install.dat\r\n"),
              std::string::npos)
        << trace;
    EXPECT_EQ(machine.Files().ReadFile(context.strDatPath), kContent);

    machine.Files().WriteFile("C:\\\x95\x5CInstall.dat", "other");
    context.strExeDir = "C:\\\x95\x5C";
    CopyDatFile(context);
    EXPECT_EQ(machine.Files().ReadFile(context.strDatPath), kContent);
}

TEST_F(DatFileTest, NoTemporaryFolder) {
    machine.Files().WriteFile(kSource, kContent);
    machine.SetTempPath(std::nullopt);
    SetLastError(ERROR_PATH_NOT_FOUND);
    // The trace goes elsewhere here: the log was opened before the folder went away.
    EXPECT_EQ(CopyAndTrace(),
              CrLfLines({"    CopyDatFile-Start", "        CopyFile1:C:\\Setup\\Install.dat",
                         "        GetTempPath Err\x81\x46"
                         "ErrCode = 3,ErrMsg = The system cannot find the path specified.",
                         "    CopyDatFile-End"}));
    EXPECT_EQ(context.strDatPath, "");
}

TEST_F(DatFileTest, ATemporaryFolderTooLongForTheBufferFailsAsNoFolder) {
    machine.Files().WriteFile(kSource, kContent);
    machine.SetTempPath("C:\\" + std::string(600, 't') + "\\");
    const std::string trace = CopyAndTrace();
    EXPECT_NE(trace.find("GetTempPath Err\x81\x46"
                         "ErrCode = 122,"),
              std::string::npos)
        << trace;
    EXPECT_EQ(context.strDatPath, "");
}

TEST_F(DatFileTest, NoLongFormGoesOnWithTheFolderAsGiven) {
    machine.Files().WriteFile(kSource, kContent);
    // GetTempPathA names a folder it does not check; it is not there.
    machine.SetTempPath("C:\\Gone\\");
    const std::string trace = CopyAndTrace();
    EXPECT_NE(trace.find("        GetLongPathName Err\x81\x46"
                         "ErrCode = 2,ErrMsg = The system cannot find the file specified.\r\n"),
              std::string::npos)
        << trace;
    // Then no temporary file can be made there either, and the copy fails.
    EXPECT_NE(trace.find("        GetTempFileName Err\x81\x46"
                         "ErrCode = 267,"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("        CopyTo  \x81\x46\r\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("        CopyFile Err\x81\x46"), std::string::npos) << trace;
    EXPECT_EQ(context.strDatPath, "");
}

TEST_F(DatFileTest, AFailedCopyLeavesTheEmptyTemporaryFileNamed) {
    machine.Files().WriteFile(kSource, kContent);
    auto other = machine.Files().HoldOpen(kSource, GENERIC_WRITE, 0); // locked by another
    const std::string trace = CopyAndTrace();
    EXPECT_NE(trace.find("        CopyFile Err\x81\x46"
                         "ErrCode = 32,ErrMsg = The process cannot access the file because it "
                         "is being used by another process.\r\n"),
              std::string::npos)
        << trace;
    EXPECT_EQ(context.strDatPath, kCopy);
    EXPECT_EQ(machine.Files().ReadFile(kCopy), "");
    DeleteDatFile(context);
    EXPECT_FALSE(machine.Files().Exists(kCopy));
}

TEST_F(DatFileTest, DeletionLeavesFoldersAndMissingPathsAlone) {
    context.strDatPath = "C:\\Users";
    DeleteDatFile(context);
    EXPECT_TRUE(machine.Files().Exists("C:\\Users"));
    context.strDatPath = "";
    DeleteDatFile(context);
    context.strDatPath = "C:\\none.tmp";
    DeleteDatFile(context);
    EXPECT_EQ(GetInstallDatUrl(context), "");
}

TEST_F(DatFileTest, CopyingWithoutTraceDoesTheSameWork) {
    machine.Files().WriteFile(kSource, kContent);
    CopyDatFile(context);
    EXPECT_EQ(machine.Files().ReadFile(context.strDatPath), kContent);
    EXPECT_FALSE(machine.Files().Exists(kTracePath));
}

} // namespace
