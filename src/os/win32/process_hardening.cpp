#include "os/process_hardening.h"

#include "os/win32/system_library.h"

void HardenDllSearch() {
    // Where the call exists, every later load in the process, including those that system
    // DLLs make on our behalf, searches only the system folder.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel != nullptr) {
        auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault != nullptr) {
            setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
    }
    // Everywhere: keep the current folder out of the search.
    SetDllDirectoryA("");
    LoadSystemLibraries();
}
