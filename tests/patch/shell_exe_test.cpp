#include "patch/shell_exe.h"

#include "support/trace_file.h"

#include <gtest/gtest.h>

namespace {

using test::CrLfLines;
using test::TraceOf;

class ShellExeTest : public ::testing::Test {
protected:
    void SetUp() override { machine.Files().WriteFile("C:\\Tools\\run.exe", "MZ"); }
    void TearDown() override { EXPECT_EQ(machine.Programs().OpenHandles(), 0u); }
    bool Run(const std::string& path, const std::string& parameters) {
        return ShellExe(path, parameters, SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NO_CONSOLE,
                        SW_SHOWNORMAL, exitCode);
    }

    sim::Machine machine;
    DWORD exitCode = 77; // untouched unless a process ended
};

TEST_F(ShellExeTest, StartsWaitsAndClosesTheProcess) {
    bool result = false;
    EXPECT_EQ(TraceOf(machine, [&] { result = Run("\"C:\\Tools\\run.exe\"", "/p \"a b\""); }),
              CrLfLines({"    ShellExe-Start", "        EXE Path：\"C:\\Tools\\run.exe\"",
                         "        CmdLine ：/p \"a b\"", "        Code=1", "        Code=32832",
                         "        2026/12/07 22:24:38", "        Process ExitCode=0",
                         "        2026/12/07 22:24:38", "    ShellExe-End"}));
    EXPECT_TRUE(result);
    EXPECT_EQ(exitCode, 0u);
    ASSERT_EQ(machine.Programs().Starts().size(), 1u);
    EXPECT_EQ(machine.Programs().Starts()[0].file, "\"C:\\Tools\\run.exe\"");
    EXPECT_EQ(machine.Programs().Starts()[0].parameters, "/p \"a b\"");
}

TEST_F(ShellExeTest, EveryQuoteGoesAndOnePairComesBack) {
    EXPECT_TRUE(Run("C:\\Tools\\r\"un.exe", ""));
    EXPECT_EQ(machine.Programs().Starts()[0].file, "\"C:\\Tools\\run.exe\"");
    // No parameters: none at all, not an empty text.
    EXPECT_EQ(machine.Programs().Starts()[0].parameters, std::nullopt);
}

TEST_F(ShellExeTest, TheExitCodeIsReadAndTracedButDoesNotChangeTheResult) {
    machine.Programs().SetChildProgram(
        [](sim::Machine&, const sim::ProcessStart&) { return DWORD{3221225477}; });
    const std::string trace = TraceOf(machine, [&] { EXPECT_TRUE(Run("C:\\Tools\\run.exe", "")); });
    EXPECT_NE(trace.find("        Process ExitCode=3221225477\r\n        2026/12/07"),
              std::string::npos)
        << trace;
    EXPECT_EQ(exitCode, 3221225477u);
    // A code that cannot be read counts as a failed installation.
    machine.Programs().SetExitCodeUnreadable(true);
    const std::string unreadable =
        TraceOf(machine, [&] { EXPECT_TRUE(Run("C:\\Tools\\run.exe", "")); });
    EXPECT_NE(unreadable.find("        GetExitCodeProcess Err：ErrCode = 5,"), std::string::npos)
        << unreadable;
    EXPECT_EQ(exitCode, 1603u);
}

TEST_F(ShellExeTest, MissingProgramsAndFoldersAreNotStarted) {
    machine.Files().CreateFolder("C:\\Tools\\dir.exe");
    EXPECT_EQ(TraceOf(machine, [&] { EXPECT_FALSE(Run("C:\\Tools\\dir.exe", "")); }),
              CrLfLines({"    ShellExe-Start", "        EXE Path：C:\\Tools\\dir.exe",
                         "        CmdLine ：", "        Code=1", "        Code=32832",
                         "        Error File Not Found", "    ShellExe-End"}));
    EXPECT_FALSE(Run("C:\\Tools\\none.exe", "x"));
    EXPECT_TRUE(machine.Programs().Starts().empty());
}

TEST_F(ShellExeTest, ARefusedStartOrNoProcessHandle) {
    machine.Programs().SetOutcome(sim::Processes::Outcome::Refused);
    const std::string refused =
        TraceOf(machine, [&] { EXPECT_FALSE(Run("C:\\Tools\\run.exe", "")); });
    EXPECT_NE(refused.find("        Error ShellExecuteEx\r\n        Code=2\r\n        2026/12/07"),
              std::string::npos)
        << refused;
    machine.Programs().SetOutcome(sim::Processes::Outcome::NoProcessHandle);
    const std::string zero = TraceOf(machine, [&] { EXPECT_FALSE(Run("C:\\Tools\\run.exe", "")); });
    EXPECT_NE(zero.find("        Process Zero Error\r\n        2026/12/07"), std::string::npos)
        << zero;
    EXPECT_EQ(exitCode, 77u);
}

TEST_F(ShellExeTest, WithoutTraceTheSame) {
    g_pTraceLog = nullptr;
    EXPECT_TRUE(Run("C:\\Tools\\run.exe", "x"));
    EXPECT_FALSE(Run("C:\\Tools\\none.exe", "x"));
}

} // namespace
