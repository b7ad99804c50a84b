// Where Windows keeps its own programs (msiexec.exe, msi.dll): the one place the launcher starts
// or inspects them from.
#pragma once

#include "os/win32api.h"

#include <string>

// The system folder, ending in "\"; "" when neither the shell nor the kernel can name it. Never
// a relative name: a bare "msiexec.exe" would be looked for in the current folder, where anyone
// may have put one.
[[nodiscard]] inline std::string GetSystemFolder() {
    char folder[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_SYSTEM, nullptr, SHGFP_TYPE_CURRENT, folder) < 0 ||
        folder[0] == '\0') {
        // The shell may be missing or broken on a damaged machine; the kernel always knows.
        const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            return "";
        }
    }
    // The system folder's name never ends in a double-byte character, so the last byte tells.
    std::string path = folder;
    if (path.back() != '\\') {
        path += '\\';
    }
    return path;
}
