// Simulated kernel32 file calls: temporary names, copy, delete, attributes, folders, search.
#include "os/sim/machine.h"
#include "text/mbstring.h"

#include <cstdio>
#include <cstring>

using sim::Machine;

namespace {

sim::FileSystem& Files() {
    return Machine::Current().Files();
}

bool Fail(DWORD error) {
    SetLastError(error);
    return false;
}

// DOS wildcards over one name: "*" any run, "?" one character; case does not matter.
bool MatchesWildcard(std::string_view name, std::string_view pattern) {
    if (pattern.empty()) {
        return name.empty();
    }
    if (pattern[0] == '*') {
        for (std::size_t at = 0;; at += text::CharLength(name, at)) {
            if (MatchesWildcard(name.substr(at), pattern.substr(1))) {
                return true;
            }
            if (at >= name.size()) {
                return false;
            }
        }
    }
    if (name.empty()) {
        return false;
    }
    const std::size_t nameChar = text::CharLength(name, 0);
    const std::size_t patternChar = text::CharLength(pattern, 0);
    if (!(pattern[0] == '?' && patternChar == 1) &&
        text::MakeUpper(name.substr(0, nameChar)) !=
            text::MakeUpper(pattern.substr(0, patternChar))) {
        return false;
    }
    return MatchesWildcard(name.substr(nameChar), pattern.substr(patternChar));
}

bool MatchesPattern(const sim::FileNode& node, const std::string& name, std::string_view pattern) {
    if (pattern == "*.*") {
        pattern = "*"; // DOS: "*.*" also matches names without a dot
    }
    // Windows also matches the 8.3 alias where the volume has one.
    return MatchesWildcard(name, pattern) ||
           (!node.shortName.empty() && MatchesWildcard(node.shortName, pattern));
}

WIN32_FIND_DATAA FindData(const sim::FileNode& node, const std::string& name) {
    WIN32_FIND_DATAA data{};
    data.dwFileAttributes = node.attributes;
    data.ftCreationTime = sim::Clock::ToFileTime(node.created);
    data.ftLastAccessTime = sim::Clock::ToFileTime(node.lastAccessed);
    data.ftLastWriteTime = sim::Clock::ToFileTime(node.lastWritten);
    const std::uint64_t size = node.IsFolder() ? 0 : node.data.size();
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    std::snprintf(data.cFileName, sizeof data.cFileName, "%s", name.c_str());
    std::snprintf(data.cAlternateFileName, sizeof data.cAlternateFileName, "%s",
                  node.shortName.c_str());
    return data;
}

} // namespace

UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) {
    const std::string& folder = Machine::Current().WindowsFolder();
    if (folder.size() + 1 > uSize) {
        return static_cast<UINT>(folder.size() + 1);
    }
    std::memcpy(lpBuffer, folder.c_str(), folder.size() + 1);
    return static_cast<UINT>(folder.size());
}

BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes) {
    DWORD error = 0;
    auto node = Files().Find(lpFileName == nullptr ? "" : lpFileName, error);
    if (!node) {
        return Fail(error);
    }
    if (!Machine::Current().ChangeState(std::string("attributes ") + lpFileName)) {
        return FALSE;
    }
    // The folder bit is not the caller's to change; NORMAL alone means none.
    const DWORD settable = dwFileAttributes & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NORMAL);
    node->attributes = (node->attributes & FILE_ATTRIBUTE_DIRECTORY) | settable;
    return TRUE;
}

UINT WINAPI GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique,
                             LPSTR lpTempFileName) {
    std::string folder = lpPathName == nullptr ? "" : lpPathName;
    DWORD error = 0;
    auto folderNode = Files().Find(folder, error);
    if (!folderNode || !folderNode->IsFolder()) {
        SetLastError(ERROR_DIRECTORY);
        return 0;
    }
    if (folder.empty() || text::FindLastChar(folder, '\\') + 1 != folder.size()) {
        folder += '\\';
    }
    const std::string prefix =
        std::string(lpPrefixString == nullptr ? "" : lpPrefixString).substr(0, 3);
    auto nameFor = [&](UINT number) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", number & 0xFFFF);
        return folder + prefix + hex + ".tmp";
    };
    if (uUnique != 0) {
        // A given number only names the file; nothing is created.
        const std::string name = nameFor(uUnique);
        std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
        return uUnique;
    }
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        UINT number = Machine::Current().TakeTempNumber() & 0xFFFF;
        if (number == 0) {
            continue;
        }
        const std::string name = nameFor(number);
        if (!Machine::Current().ChangeState("create " + name)) {
            return 0;
        }
        DWORD openError = 0;
        auto created = Files().Open(name, GENERIC_WRITE, 0, sim::Disposition::CreateNew, openError);
        if (created) {
            std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
            return number;
        }
        if (openError != ERROR_FILE_EXISTS && openError != ERROR_ACCESS_DENIED) {
            SetLastError(openError);
            return 0;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
    if (lpExistingFileName == nullptr || lpNewFileName == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    DWORD error = 0;
    auto source = Files().Open(lpExistingFileName, GENERIC_READ, FILE_SHARE_READ,
                               sim::Disposition::OpenExisting, error);
    if (!source) {
        return Fail(error);
    }
    auto existing = Files().Find(lpNewFileName, error);
    if (existing && existing.get() == &source->Node()) {
        return Fail(ERROR_SHARING_VIOLATION); // onto itself
    }
    if (existing && bFailIfExists) {
        return Fail(ERROR_FILE_EXISTS);
    }
    if (!Machine::Current().ChangeState(std::string("copy to ") + lpNewFileName)) {
        return FALSE;
    }
    auto target =
        Files().Open(lpNewFileName, GENERIC_WRITE, 0, sim::Disposition::CreateAlways, error);
    if (!target) {
        return Fail(error);
    }
    // The copy carries the source's bytes, attributes and last-write time.
    const sim::FileNode& from = source->Node();
    auto to = Files().Find(lpNewFileName, error);
    to->data = from.data;
    to->attributes = from.attributes;
    to->lastWritten = from.lastWritten;
    to->signature = from.signature;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    if (!Machine::Current().ChangeState(std::string("delete ") +
                                        (lpFileName == nullptr ? "" : lpFileName))) {
        return FALSE;
    }
    DWORD error = 0;
    if (!Files().Remove(lpFileName == nullptr ? "" : lpFileName, false, error)) {
        return Fail(error);
    }
    return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/) {
    if (!Machine::Current().ChangeState(std::string("create folder ") +
                                        (lpPathName == nullptr ? "" : lpPathName))) {
        return FALSE;
    }
    DWORD error = 0;
    if (!Files().MakeFolder(lpPathName == nullptr ? "" : lpPathName, error)) {
        return Fail(error);
    }
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
    if (!Machine::Current().ChangeState(std::string("remove folder ") +
                                        (lpPathName == nullptr ? "" : lpPathName))) {
        return FALSE;
    }
    DWORD error = 0;
    if (!Files().Remove(lpPathName == nullptr ? "" : lpPathName, true, error)) {
        return Fail(error);
    }
    return TRUE;
}

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, WIN32_FIND_DATAA* lpFindFileData) {
    const std::string path = lpFileName == nullptr ? "" : lpFileName;
    if (path.size() >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    std::string pattern;
    DWORD error = 0;
    auto folder = Files().ParentFolder(path, pattern, error);
    if (!folder) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<WIN32_FIND_DATAA> entries;
    // "." and ".." come first, except in a drive's root.
    const bool isRoot =
        path.size() >= 2 && Files().Lookup(path.substr(0, 2) + "\\") == folder.get();
    if (!isRoot) {
        for (const char* dots : {".", ".."}) {
            if (MatchesWildcard(dots, pattern == "*.*" ? "*" : pattern)) {
                entries.push_back(FindData(*folder, dots));
            }
        }
    }
    for (const auto& [key, child] : folder->children) {
        if (MatchesPattern(*child, child->name, pattern)) {
            entries.push_back(FindData(*child, child->name));
        }
    }
    if (entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    void* handle = Machine::Current().OpenFind(std::move(entries));
    Machine::Current().NextFind(handle, *lpFindFileData);
    return handle;
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, WIN32_FIND_DATAA* lpFindFileData) {
    if (!Machine::Current().NextFind(hFindFile, *lpFindFileData)) {
        return Fail(ERROR_NO_MORE_FILES);
    }
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    if (!Machine::Current().CloseFind(hFindFile)) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    return TRUE;
}

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/,
                          DWORD dwCreationDisposition, DWORD /*dwFlagsAndAttributes*/,
                          HANDLE /*hTemplateFile*/) {
    sim::Disposition disposition{};
    switch (dwCreationDisposition) {
    case CREATE_NEW:
        disposition = sim::Disposition::CreateNew;
        break;
    case CREATE_ALWAYS:
        disposition = sim::Disposition::CreateAlways;
        break;
    case OPEN_EXISTING:
        disposition = sim::Disposition::OpenExisting;
        break;
    case OPEN_ALWAYS:
        disposition = sim::Disposition::OpenAlways;
        break;
    default:
        Fail(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (lpFileName == nullptr) {
        Fail(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (disposition != sim::Disposition::OpenExisting &&
        !Machine::Current().ChangeState(std::string("create ") + lpFileName)) {
        return INVALID_HANDLE_VALUE;
    }
    DWORD error = 0;
    auto open = Files().Open(lpFileName, dwDesiredAccess, dwShareMode, disposition, error);
    SetLastError(error);
    return open ? Machine::Current().AddFileHandle(std::move(open)) : INVALID_HANDLE_VALUE;
}
