// Simulated version resources of files: a file with a version answers with a block whose
// fixed file information VerQueryValueA finds under "\".
#include "os/sim/machine.h"

#include <cstring>

namespace {

constexpr char kMagic[] = "SIMVERSIONINFO";
constexpr std::size_t kHeader = 16;
constexpr DWORD kBlockSize = static_cast<DWORD>(kHeader + sizeof(VS_FIXEDFILEINFO));

const sim::FileNode* VersionedFile(LPCSTR path) {
    DWORD error = 0;
    auto node = sim::Machine::Current().Files().Find(path == nullptr ? "" : path, error);
    if (!node || node->IsFolder()) {
        SetLastError(node ? ERROR_ACCESS_DENIED : error);
        return nullptr;
    }
    if (!node->version) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    return node.get();
}

} // namespace

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, DWORD* lpdwHandle) {
    if (lpdwHandle != nullptr) {
        *lpdwHandle = 0;
    }
    return VersionedFile(lptstrFilename) != nullptr ? kBlockSize : 0;
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD /*dwHandle*/, DWORD dwLen,
                                LPVOID lpData) {
    const sim::FileNode* file = VersionedFile(lptstrFilename);
    if (file == nullptr) {
        return FALSE;
    }
    if (dwLen < kBlockSize || lpData == nullptr) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* block = static_cast<char*>(lpData);
    std::memset(block, 0, kBlockSize);
    std::memcpy(block, kMagic, sizeof kMagic - 1);
    VS_FIXEDFILEINFO info{};
    info.dwSignature = 0xFEEF04BD;
    info.dwStrucVersion = 0x00010000;
    const auto& v = *file->version;
    info.dwFileVersionMS = (static_cast<DWORD>(v[0]) << 16) | v[1];
    info.dwFileVersionLS = (static_cast<DWORD>(v[2]) << 16) | v[3];
    info.dwProductVersionMS = info.dwFileVersionMS;
    info.dwProductVersionLS = info.dwFileVersionLS;
    std::memcpy(block + kHeader, &info, sizeof info);
    return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen) {
    const auto* block = static_cast<const char*>(pBlock);
    if (block == nullptr || std::memcmp(block, kMagic, sizeof kMagic - 1) != 0 ||
        lpSubBlock == nullptr || std::strcmp(lpSubBlock, "\\") != 0) {
        return FALSE;
    }
    *lplpBuffer = const_cast<char*>(block + kHeader);
    if (puLen != nullptr) {
        *puLen = sizeof(VS_FIXEDFILEINFO);
    }
    return TRUE;
}
