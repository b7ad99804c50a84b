#include "os/win32/system_library.h"

#include <string>

namespace {

HMODULE LoadFromSystemFolder(LPCSTR fileName) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    const std::string path = std::string(folder) + "\\" + fileName;
    // A full path, and its own folder searched first for what the library itself imports.
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE Module(SystemLibrary library) {
    // Loaded once and kept for the life of the process.
    static HMODULE msi = LoadFromSystemFolder("msi.dll");
    static HMODULE version = LoadFromSystemFolder("version.dll");
    return library == SystemLibrary::Msi ? msi : version;
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
    Module(SystemLibrary::Msi);
    Module(SystemLibrary::Version);
}
