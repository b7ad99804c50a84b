// Simulated kernel32 calls the launcher makes, following Windows (docs/windows-behaviour.md).
#include "os/sim/machine.h"
#include "os/sim/sim_api.h"

#include <cstring>
#include <string>

using sim::Machine;

namespace {

thread_local DWORD t_lastError = 0;

// Copies `value` with its NUL when it fits; otherwise reports the size needed, NUL included,
// and leaves the buffer alone (GetTempPathA, GetLongPathNameA).
DWORD CopyOrNeed(const std::string& value, LPSTR buffer, DWORD size) {
    if (value.size() + 1 > size) {
        return static_cast<DWORD>(value.size() + 1);
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return static_cast<DWORD>(value.size());
}

} // namespace

DWORD WINAPI GetLastError() {
    return t_lastError;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    t_lastError = dwErrCode;
}

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
    const auto& temp = Machine::Current().TempPath();
    if (!temp) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    std::string path = *temp;
    if (path.empty() || path.back() != '\\') {
        path += '\\';
    }
    return CopyOrNeed(path, lpBuffer, nBufferLength);
}

DWORD WINAPI GetLongPathNameA(LPCSTR lpszShortPath, LPSTR lpszLongPath, DWORD cchBuffer) {
    if (lpszShortPath == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD error = 0;
    auto longPath = Machine::Current().Files().LongPath(lpszShortPath, error);
    if (!longPath) {
        SetLastError(error);
        return 0;
    }
    return CopyOrNeed(*longPath, lpszLongPath, cchBuffer);
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule != nullptr) {
        SetLastError(126); // ERROR_MOD_NOT_FOUND: only the program itself is simulated
        return 0;
    }
    const std::string& path = Machine::Current().ModulePath();
    if (nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() + 1 > nSize) {
        // Windows Vista and later: the text is cut and terminated, the size is returned and
        // the last error says the buffer was too small.
        std::memcpy(lpFilename, path.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

ATOM WINAPI GlobalFindAtomA(LPCSTR lpString) {
    ATOM atom = Machine::Current().FindAtom(lpString == nullptr ? "" : lpString);
    if (atom == 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
    }
    return atom;
}

ATOM WINAPI GlobalAddAtomA(LPCSTR lpString) {
    if (lpString == nullptr || *lpString == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Machine::Current().AddAtom(lpString);
}

ATOM WINAPI GlobalDeleteAtom(ATOM nAtom) {
    if (!Machine::Current().DeleteAtom(nAtom)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nAtom;
    }
    return 0;
}

HLOCAL WINAPI LocalAlloc(UINT /*uFlags*/, std::size_t uBytes) {
    void* block = Machine::Current().AllocateLocal(uBytes);
    if (block == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return block;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem) {
    if (hMem == nullptr) {
        return nullptr;
    }
    if (!Machine::Current().FreeLocal(hMem)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    return nullptr;
}

DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID /*lpSource*/, DWORD dwMessageId,
                            DWORD dwLanguageId, LPSTR lpBuffer, DWORD nSize,
                            va_list* /*Arguments*/) {
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || !(dwFlags & FORMAT_MESSAGE_IGNORE_INSERTS)) {
        SetLastError(ERROR_INVALID_PARAMETER); // only the system table, without inserts
        return 0;
    }
    if (dwLanguageId != 0 && dwLanguageId != MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT)) {
        SetLastError(15100); // ERROR_MUI_FILE_NOT_FOUND: one language is installed
        return 0;
    }
    auto message = Machine::Current().SystemMessage(dwMessageId);
    if (!message) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        auto* block = static_cast<char*>(LocalAlloc(0, message->size() + 1));
        if (block == nullptr) {
            return 0;
        }
        std::memcpy(block, message->c_str(), message->size() + 1);
        *reinterpret_cast<char**>(lpBuffer) = block;
        return static_cast<DWORD>(message->size());
    }
    if (message->size() + 1 > nSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpBuffer, message->c_str(), message->size() + 1);
    return static_cast<DWORD>(message->size());
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    DWORD error = 0;
    auto node = Machine::Current().Files().Find(lpFileName == nullptr ? "" : lpFileName, error);
    if (!node) {
        SetLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    return node->attributes;
}

BOOL WINAPI GetFileAttributesExA(LPCSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId,
                                 LPVOID lpFileInformation) {
    if (fInfoLevelId != GetFileExInfoStandard || lpFileInformation == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD error = 0;
    auto node = Machine::Current().Files().Find(lpFileName == nullptr ? "" : lpFileName, error);
    if (!node) {
        SetLastError(error);
        return FALSE;
    }
    auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(lpFileInformation);
    data->dwFileAttributes = node->attributes;
    data->ftCreationTime = sim::Clock::ToFileTime(node->created);
    data->ftLastAccessTime = sim::Clock::ToFileTime(node->lastAccessed);
    data->ftLastWriteTime = sim::Clock::ToFileTime(node->lastWritten);
    const std::uint64_t size = node->IsFolder() ? 0 : node->data.size();
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    return TRUE;
}

void WINAPI GetLocalTime(SYSTEMTIME* lpSystemTime) {
    *lpSystemTime = Machine::Current().Time().LocalTime();
}
