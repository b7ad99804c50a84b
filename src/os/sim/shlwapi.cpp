// Simulated shlwapi path tests: both are GetFileAttributes tests on Windows.
#include "os/sim/sim_api.h"

BOOL WINAPI PathFileExistsA(LPCSTR pszPath) {
    if (pszPath == nullptr) {
        return FALSE;
    }
    return GetFileAttributesA(pszPath) != INVALID_FILE_ATTRIBUTES ? TRUE : FALSE;
}

BOOL WINAPI PathIsDirectoryA(LPCSTR pszPath) {
    if (pszPath == nullptr) {
        return FALSE;
    }
    const DWORD attributes = GetFileAttributesA(pszPath);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return FALSE;
    }
    // Windows answers with the attribute bit itself (16), not with 1.
    return static_cast<BOOL>(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL WINAPI PathIsURLA(LPCSTR pszPath) {
    // A scheme of two or more letters, digits, "+", "-" or "." before a ":".
    if (pszPath == nullptr) {
        return FALSE;
    }
    std::size_t length = 0;
    for (; pszPath[length] != '\0' && pszPath[length] != ':'; ++length) {
        const char ch = pszPath[length];
        const bool schemeChar = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                                (ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.';
        if (!schemeChar) {
            return FALSE;
        }
    }
    return pszPath[length] == ':' && length >= 2 ? TRUE : FALSE;
}
