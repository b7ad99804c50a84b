#include "os/win32/system_library.h"

#include <string>

namespace {

// comctl32.dll is loaded by name: the manifest's activation context redirects it to the
// common controls 6 assembly, and the system-folder search applies only outside it.
constexpr const char* kLibraryNames[] = {
    "user32.dll",   "gdi32.dll", "advapi32.dll", "shell32.dll",  "shlwapi.dll",
    "comctl32.dll", "msi.dll",   "version.dll",  "wintrust.dll", "crypt32.dll"};
constexpr std::size_t kLibraryCount = sizeof kLibraryNames / sizeof kLibraryNames[0];

bool CanSearchSystemFolderOnly() {
    // The search flags exist where SetDefaultDllDirectories does (Windows 8, or Windows 7
    // with KB2533623).
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel != nullptr && GetProcAddress(kernel, "SetDefaultDllDirectories") != nullptr;
}

HMODULE LoadFromSystemFolder(LPCSTR fileName) {
    if (CanSearchSystemFolderOnly()) {
        // The library and everything it imports come from the system folder.
        return LoadLibraryExA(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    const std::string path = std::string(folder) + "\\" + fileName;
    // A full path, and its own folder searched first for what the library imports.
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE Module(SystemLibrary library) {
    static HMODULE modules[kLibraryCount] = {};
    static bool tried[kLibraryCount] = {};
    const auto index = static_cast<std::size_t>(library);
    if (!tried[index]) {
        tried[index] = true;
        modules[index] = LoadFromSystemFolder(kLibraryNames[index]);
    }
    return modules[index];
}

} // namespace

FARPROC ResolveSystemProc(SystemLibrary library, LPCSTR name) {
    HMODULE module = Module(library);
    if (module == nullptr) {
        return nullptr;
    }
    return GetProcAddress(module, name);
}

void LoadSystemLibraries() {
    for (std::size_t index = 0; index < kLibraryCount; ++index) {
        Module(static_cast<SystemLibrary>(index));
    }
}
