#include "os/process_hardening.h"

#include "os/win32/system_library.h"

void HardenDllSearch() {
    // Where the call exists, every later load in the process, including those that system
    // DLLs make on our behalf, searches only the system folder.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    bool systemFolderOnly = false;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel != nullptr) {
        auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        systemFolderOnly =
            setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    }
    // Everywhere: keep the current folder out of the search.
    SetDllDirectoryA("");
    if (!systemFolderOnly) {
        // Without that default a system DLL that loads one of ours by name at run time would
        // look in the program's folder first; loaded now from the system folder, each is found
        // already in the process instead. With it, each waits until it is first needed.
        LoadSystemLibraries();
    }
}
