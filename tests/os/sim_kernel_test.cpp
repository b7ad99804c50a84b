// The simulated kernel and user calls report results and errors as Windows does.
#include "os/sim/machine.h"
#include "os/win32api.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SimKernel, TempPathEndsInBackslashAndReportsTheSizeItNeeds) {
    sim::Machine machine;
    machine.SetTempPath("C:\\Temp");
    char buffer[MAX_PATH] = {};
    EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), 8u);
    EXPECT_STREQ(buffer, "C:\\Temp\\");

    char small[8] = "unused";
    EXPECT_EQ(GetTempPathA(sizeof small, small), 9u);
    EXPECT_STREQ(small, "unused");

    machine.SetTempPath(std::nullopt);
    EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), 0u);
}

TEST(SimKernel, ModuleFileNameIsCutAndFlaggedWhenTheBufferIsTooSmall) {
    sim::Machine machine;
    machine.SetModulePath("C:\\Setup\\Setup.exe");
    char buffer[MAX_PATH] = {};
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, MAX_PATH), 18u);
    EXPECT_STREQ(buffer, "C:\\Setup\\Setup.exe");

    SetLastError(0);
    char small[6] = {};
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 6u);
    EXPECT_STREQ(small, "C:\\Se");
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(SimKernel, GlobalAtomsMatchWithoutRegardToCase) {
    sim::Machine machine;
    EXPECT_EQ(GlobalFindAtomA("Installer_Busy"), 0);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    const ATOM atom = GlobalAddAtomA("Installer_Busy");
    EXPECT_GE(atom, 0xC000);
    EXPECT_EQ(GlobalFindAtomA("INSTALLER_BUSY"), atom);
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtomA("Installer_Busy"), 0);
}

TEST(SimKernel, KeyStateIsNegativeWhileTheKeyIsDown) {
    sim::Machine machine;
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    machine.SetKeyDown(VK_SHIFT, true);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
}

TEST(SimKernel, SystemMessagesComeInALocalBlockThatMustBeFreed) {
    sim::Machine machine;
    LPSTR text = nullptr;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD length = FormatMessageA(flags, nullptr, ERROR_ACCESS_DENIED,
                                        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        reinterpret_cast<LPSTR>(&text), 0, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, length), "Access is denied.\r\n");
    EXPECT_EQ(machine.LiveLocalBlocks(), 1u);
    EXPECT_EQ(LocalFree(text), nullptr);
    EXPECT_EQ(machine.LiveLocalBlocks(), 0u);

    text = nullptr;
    EXPECT_EQ(FormatMessageA(flags, nullptr, 99999, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
    EXPECT_EQ(text, nullptr);
}

TEST(SimKernel, LocalTimeFollowsTheClockAndItsBias) {
    sim::Machine machine;
    machine.Time().SetLocalTime(2024, 2, 29, 23, 59, 59);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2024);
    EXPECT_EQ(now.wMonth, 2);
    EXPECT_EQ(now.wDay, 29);
    EXPECT_EQ(now.wDayOfWeek, 4); // a Thursday
    EXPECT_EQ(now.wHour, 23);
    machine.Time().AdvanceSeconds(1);
    GetLocalTime(&now);
    EXPECT_EQ(now.wMonth, 3);
    EXPECT_EQ(now.wDay, 1);
    EXPECT_EQ(now.wHour, 0);
    // Universal time is nine hours behind Japan.
    const SYSTEMTIME utc = sim::Clock::CivilFromTicks(machine.Time().UniversalTicks());
    EXPECT_EQ(utc.wHour, 15);
    EXPECT_EQ(utc.wDay, 29);
}

} // namespace
