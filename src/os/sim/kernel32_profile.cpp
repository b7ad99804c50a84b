// Simulated INI reading calls.
#include "os/sim/ini_file.h"
#include "os/sim/machine.h"
#include "text/mbstring.h"

#include <cstring>
#include <optional>

using sim::IniLine;

namespace {

// A bare file name is looked for in the Windows folder.
std::string ProfilePath(LPCSTR fileName) {
    const std::string name = fileName;
    if (text::FindChar(name, '\\') == text::npos && text::FindChar(name, '/') == text::npos) {
        return sim::Machine::Current().WindowsFolder() + "\\" + name;
    }
    return name;
}

// The file's text, or nullopt when there is no such file.
std::optional<std::string> ReadProfile(LPCSTR fileName) {
    if (fileName == nullptr) {
        return std::nullopt;
    }
    auto bytes = sim::Machine::Current().Files().ReadFile(ProfilePath(fileName));
    if (!bytes) {
        return std::nullopt;
    }
    return sim::IniFileText(std::move(*bytes));
}

bool SameName(std::string_view a, std::string_view b) {
    return text::MakeUpper(a) == text::MakeUpper(b);
}

// Windows trims the blanks (not tabs) around the names it is given.
std::string TrimArgument(LPCSTR name) {
    std::string_view text(name);
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return std::string(text);
}

DWORD CopyCut(const std::string& value, LPSTR buffer, DWORD size) {
    if (size == 0) {
        return 0;
    }
    if (value.size() >= size) {
        std::memcpy(buffer, value.data(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_MORE_DATA);
        return size - 1;
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return static_cast<DWORD>(value.size());
}

} // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                      LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
    if (lpAppName == nullptr || lpKeyName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER); // name lists are not simulated
        return 0;
    }
    // The default comes back as given, less its trailing blanks.
    std::string fallback = lpDefault == nullptr ? "" : lpDefault;
    while (!fallback.empty() && fallback.back() == ' ') {
        fallback.pop_back();
    }
    const auto text = ReadProfile(lpFileName);
    if (!text) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return CopyCut(fallback, lpReturnedString, nSize);
    }
    if (const auto section = sim::FindIniSection(*text, TrimArgument(lpAppName))) {
        const std::string key = TrimArgument(lpKeyName);
        for (const IniLine& line : section->lines) {
            // Comment lines are never keys; the first of repeated keys wins.
            if (line.kind == IniLine::Kind::Key && SameName(line.key, key)) {
                return CopyCut(sim::UnquoteIniValue(line.value), lpReturnedString, nSize);
            }
        }
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return CopyCut(fallback, lpReturnedString, nSize);
}

DWORD WINAPI GetPrivateProfileSectionA(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize,
                                       LPCSTR lpFileName) {
    if (lpAppName == nullptr || lpReturnedString == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto text = ReadProfile(lpFileName);
    if (!text) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        if (nSize >= 1) {
            lpReturnedString[0] = '\0';
        }
        return 0;
    }
    // Entries as Wine gives them (Windows' own normalisation of these lines is unverified):
    // "key=value" without the blanks around "=", bare lines as they stand, comment lines left
    // out, quotes kept.
    std::string block;
    if (const auto section = sim::FindIniSection(*text, TrimArgument(lpAppName))) {
        for (const IniLine& line : section->lines) {
            if (line.kind == IniLine::Kind::Comment) {
                continue;
            }
            block += line.kind == IniLine::Kind::Key ? line.key + "=" + line.value : line.text;
            block += '\0';
        }
    }
    if (nSize < 2) {
        if (nSize == 1) {
            lpReturnedString[0] = '\0';
        }
        return 0;
    }
    if (block.empty()) {
        lpReturnedString[0] = lpReturnedString[1] = '\0';
        return 0;
    }
    if (nSize < block.size() + 2) {
        // Too small, an exact fit included: the first size-2 bytes of the block, cut wherever
        // they end, and two NULs.
        std::memcpy(lpReturnedString, block.data(), nSize - 2);
        lpReturnedString[nSize - 2] = lpReturnedString[nSize - 1] = '\0';
        return nSize - 2;
    }
    std::memcpy(lpReturnedString, block.data(), block.size());
    lpReturnedString[block.size()] = '\0';
    return static_cast<DWORD>(block.size());
}

int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2) {
    const int order =
        std::strcmp(lpString1 == nullptr ? "" : lpString1, lpString2 == nullptr ? "" : lpString2);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}
