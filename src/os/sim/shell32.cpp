// Simulated shell calls: the system folder, and open requests (recorded, nothing runs).
#include "os/sim/machine.h"

#include <cstring>

HRESULT WINAPI SHGetFolderPathA(HWND /*hwnd*/, int csidl, HANDLE /*hToken*/, DWORD /*dwFlags*/,
                                LPSTR pszPath) {
    sim::Machine& machine = sim::Machine::Current();
    if (csidl != CSIDL_SYSTEM || machine.ShellFolderFails() || !machine.SystemFolder()) {
        return E_FAIL;
    }
    std::snprintf(pszPath, MAX_PATH, "%s", machine.SystemFolder()->c_str());
    return S_OK;
}

HINSTANCE WINAPI ShellExecuteA(HWND /*hwnd*/, LPCSTR lpOperation, LPCSTR lpFile,
                               LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
    auto optional = [](LPCSTR text) {
        return text == nullptr ? std::nullopt : std::optional<std::string>(text);
    };
    sim::Machine::Current().Ui().RecordShellRequest(
        {optional(lpOperation), lpFile == nullptr ? "" : lpFile, optional(lpParameters),
         optional(lpDirectory), nShowCmd});
    // Above 32 means success.
    return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));
}
