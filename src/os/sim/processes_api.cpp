// Simulated process starts, waits and handles, message boxes, moves and time conversions.
#include "os/sim/machine.h"

#include <cstring>

using sim::Machine;

BOOL WINAPI ShellExecuteExA(SHELLEXECUTEINFOA* pExecInfo) {
    if (pExecInfo == nullptr || pExecInfo->cbSize != sizeof(SHELLEXECUTEINFOA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Machine& machine = Machine::Current();
    auto optional = [](LPCSTR text) {
        return text == nullptr ? std::nullopt : std::optional<std::string>(text);
    };
    std::string file = pExecInfo->lpFile == nullptr ? "" : pExecInfo->lpFile;
    // The shell takes a quoted path as the path inside the quotes.
    std::string bare = file;
    if (bare.size() >= 2 && bare.front() == '"' && bare.back() == '"') {
        bare = bare.substr(1, bare.size() - 2);
    }
    pExecInfo->hProcess = nullptr;
    if (!machine.Files().Exists(bare) ||
        machine.Programs().GetOutcome() == sim::Processes::Outcome::Refused) {
        pExecInfo->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(2));
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (!machine.ChangeState("start " + bare)) {
        return FALSE;
    }
    const bool keep = (pExecInfo->fMask & SEE_MASK_NOCLOSEPROCESS) != 0 &&
                      machine.Programs().GetOutcome() != sim::Processes::Outcome::NoProcessHandle;
    pExecInfo->hProcess = machine.Programs().Start(
        machine,
        {file, optional(pExecInfo->lpVerb), optional(pExecInfo->lpParameters),
         optional(pExecInfo->lpDirectory), pExecInfo->fMask, pExecInfo->nShow, machine.ErrorMode()},
        keep);
    pExecInfo->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));
    return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD /*dwMilliseconds*/) {
    // Only waits that need not wait are simulated: a mutex owned elsewhere times out at once.
    if (Machine::Current().IsMutex(hHandle)) {
        return Machine::Current().WaitMutex(hHandle);
    }
    if (!Machine::Current().Programs().IsProcess(hHandle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    Machine::Current().Log("wait");
    return WAIT_OBJECT_0;
}

BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, DWORD* lpExitCode) {
    if (lpExitCode == nullptr || !Machine::Current().Programs().ExitCode(hProcess, *lpExitCode)) {
        SetLastError(Machine::Current().Programs().IsProcess(hProcess) ? ERROR_ACCESS_DENIED
                                                                       : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES /*lpMutexAttributes*/, BOOL bInitialOwner,
                           LPCSTR lpName) {
    bool existed = false;
    DWORD error = 0;
    HANDLE mutex = Machine::Current().OpenMutex(lpName == nullptr ? "" : lpName,
                                                bInitialOwner != FALSE, existed, error);
    // The call reports success with ERROR_ALREADY_EXISTS when it opened an existing mutex.
    SetLastError(mutex == nullptr ? error : existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return mutex;
}

HANDLE WINAPI OpenMutexA(DWORD /*dwDesiredAccess*/, BOOL /*bInheritHandle*/, LPCSTR lpName) {
    const std::string name = lpName == nullptr ? "" : lpName;
    if (name.empty() || !Machine::Current().MutexExists(name)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    bool existed = false;
    DWORD error = 0;
    HANDLE mutex = Machine::Current().OpenMutex(name, false, existed, error);
    SetLastError(mutex == nullptr ? error : ERROR_SUCCESS);
    return mutex;
}

BOOL WINAPI ReleaseMutex(HANDLE hMutex) {
    if (!Machine::Current().ReleaseMutex(hMutex)) {
        SetLastError(Machine::Current().IsMutex(hMutex) ? ERROR_NOT_OWNER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

UINT WINAPI SetErrorMode(UINT uMode) {
    const UINT previous = Machine::Current().ErrorMode();
    Machine::Current().SetErrorMode(uMode);
    return previous;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (!Machine::Current().Programs().Close(hObject) && !Machine::Current().CloseMutex(hObject) &&
        !Machine::Current().CloseFileHandle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

int WINAPI MessageBoxA(HWND /*hWnd*/, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    Machine::Current().RecordMessageBox(
        {lpCaption == nullptr ? "Error" : lpCaption, lpText == nullptr ? "" : lpText, uType});
    return IDOK;
}

BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
    if (lpExistingFileName != nullptr &&
        !Machine::Current().ChangeState(std::string("move ") + lpExistingFileName)) {
        return FALSE;
    }
    DWORD error = 0;
    if (lpExistingFileName == nullptr || lpNewFileName == nullptr ||
        !Machine::Current().Files().Move(lpExistingFileName, lpNewFileName, error)) {
        SetLastError(lpExistingFileName == nullptr ? ERROR_INVALID_PARAMETER : error);
        return FALSE;
    }
    Machine::Current().Log(std::string("move ") + lpExistingFileName);
    return TRUE;
}

BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
    if (lpExistingFileName != nullptr &&
        !Machine::Current().ChangeState(std::string("move ") + lpExistingFileName)) {
        return FALSE;
    }
    DWORD error = 0;
    if (lpExistingFileName == nullptr || lpNewFileName == nullptr ||
        !Machine::Current().Files().Move(lpExistingFileName, lpNewFileName, error,
                                         (dwFlags & MOVEFILE_REPLACE_EXISTING) != 0)) {
        SetLastError(lpExistingFileName == nullptr ? ERROR_INVALID_PARAMETER : error);
        return FALSE;
    }
    Machine::Current().Log(std::string("move ") + lpExistingFileName);
    return TRUE;
}

void WINAPI GetSystemTimeAsFileTime(FILETIME* lpSystemTimeAsFileTime) {
    *lpSystemTimeAsFileTime = sim::Clock::ToFileTime(Machine::Current().Time().UniversalTicks());
}

BOOL WINAPI SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* lpTimeZoneInformation,
                                            const SYSTEMTIME* lpUniversalTime,
                                            SYSTEMTIME* lpLocalTime) {
    // Only the machine's own time zone is simulated.
    if (lpTimeZoneInformation != nullptr || lpUniversalTime == nullptr || lpLocalTime == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const sim::Clock& clock = Machine::Current().Time();
    const std::int64_t universal = sim::Clock::TicksFromCivil(
        lpUniversalTime->wYear, lpUniversalTime->wMonth, lpUniversalTime->wDay,
        lpUniversalTime->wHour, lpUniversalTime->wMinute, lpUniversalTime->wSecond);
    // The bias in force on that date.
    const std::int64_t bias =
        static_cast<std::int64_t>(clock.BiasMinutesAt(universal)) * 60 * 10'000'000;
    *lpLocalTime = sim::Clock::CivilFromTicks(universal - bias);
    return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* lpFileTime, SYSTEMTIME* lpSystemTime) {
    const std::int64_t ticks = sim::Clock::FromFileTime(*lpFileTime);
    if (ticks < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpSystemTime = sim::Clock::CivilFromTicks(ticks);
    return TRUE;
}
