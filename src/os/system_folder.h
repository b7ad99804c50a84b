// Where Windows keeps its own programs (msiexec.exe, msi.dll): the one place the launcher starts
// or inspects them from.
#pragma once

#include "os/win32api.h"

#include <string>

// The system folder, ending in "\"; "" when the kernel cannot name it. Never a relative name: a
// bare "msiexec.exe" would be looked for in the current folder, where anyone may have put one.
// The kernel's answer, not the shell's: asking shell32 would load it, and all it imports, long
// before anything needs the shell.
[[nodiscard]] inline std::string GetSystemFolder() {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return "";
    }
    // The system folder's name never ends in a double-byte character, so the last byte tells.
    std::string path(folder, length);
    if (path.back() != '\\') {
        path += '\\';
    }
    return path;
}
