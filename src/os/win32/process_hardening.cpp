#include "os/process_hardening.h"

#include "os/win32/system_library.h"

void HardenDllSearch() {
    // Windows 8 and later (and Windows 7 with KB2533623): every later load, including the
    // ones system DLLs make for us, searches only the system folder. Older systems lack the
    // call; the full-path loads below protect the libraries the launcher names itself.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel != nullptr) {
        auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault != nullptr) {
            setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
    }
    // Also keep the current folder out of the search on every version.
    SetDllDirectoryA("");
    LoadSystemLibraries();
}
