// Simulated kernel32 calls about the system: its folder and version, and modules.
#include "os/sim/machine.h"

#include <cstring>
#include <tuple>

using sim::Machine;

UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) {
    const auto& folder = Machine::Current().SystemFolder();
    if (!folder) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    if (folder->size() + 1 > uSize) {
        return static_cast<UINT>(folder->size() + 1);
    }
    std::memcpy(lpBuffer, folder->c_str(), folder->size() + 1);
    return static_cast<UINT>(folder->size());
}

BOOL WINAPI GetVersionExA(OSVERSIONINFOA* lpVersionInformation) {
    if (lpVersionInformation == nullptr ||
        (lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
         lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const auto& version = Machine::Current().GetWindowsVersion();
    lpVersionInformation->dwMajorVersion = version.major;
    lpVersionInformation->dwMinorVersion = version.minor;
    lpVersionInformation->dwBuildNumber = version.build;
    lpVersionInformation->dwPlatformId = version.platform;
    lpVersionInformation->szCSDVersion[0] = '\0';
    return TRUE;
}

DWORDLONG WINAPI VerSetConditionMask(DWORDLONG ConditionMask, DWORD TypeMask, BYTE Condition) {
    // Three bits of condition per type, in the order of the type bits.
    for (int bit = 0; bit < 8; ++bit) {
        if (TypeMask & (1u << bit)) {
            ConditionMask |= static_cast<DWORDLONG>(Condition & 0x7) << (bit * 3);
        }
    }
    return ConditionMask;
}

BOOL WINAPI VerifyVersionInfoA(OSVERSIONINFOEXA* lpVersionInformation, DWORD dwTypeMask,
                               DWORDLONG dwlConditionMask) {
    Machine::Current().CountVersionCheck();
    if (lpVersionInformation == nullptr ||
        lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto& actual = Machine::Current().GetWindowsVersion();
    auto condition = [&](DWORD type) {
        for (int bit = 0; bit < 8; ++bit) {
            if (type == (1u << bit)) {
                return static_cast<BYTE>((dwlConditionMask >> (bit * 3)) & 0x7);
            }
        }
        return BYTE{0};
    };
    // Major, minor and service pack compare as one ordered tuple under "greater or equal".
    const auto have = std::make_tuple(actual.major, actual.minor, actual.servicePackMajor);
    const auto want =
        std::make_tuple(lpVersionInformation->dwMajorVersion, lpVersionInformation->dwMinorVersion,
                        static_cast<DWORD>(lpVersionInformation->wServicePackMajor));
    if ((dwTypeMask & VER_MAJORVERSION) && condition(VER_MAJORVERSION) == VER_GREATER_EQUAL &&
        have >= std::make_tuple(std::get<0>(want), std::get<1>(want),
                                static_cast<DWORD>(std::get<2>(want)))) {
        return TRUE;
    }
    SetLastError(ERROR_OLD_WIN_VERSION);
    return FALSE;
}

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    DWORD error = 0;
    auto node =
        Machine::Current().Files().Find(lpLibFileName == nullptr ? "" : lpLibFileName, error);
    if (!node || node->IsFolder()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return Machine::Current().Ui().LoadModule(lpLibFileName);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    if (!Machine::Current().Ui().FreeModule(hLibModule)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    // The program itself; other modules are not simulated.
    if (lpModuleName == nullptr) {
        static SimModule program{"Setup.exe"};
        return &program;
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}
