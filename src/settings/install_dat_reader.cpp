#include "settings/install_dat_reader.h"

#include "text/mbstring.h"

#include <cstring>
#include <limits>

namespace {
constexpr char kMissing[] = "~";
constexpr DWORD kValueBufferSize = 2049;
constexpr DWORD kSectionBufferFirst = 2048;
// Doubling stops before DWORD overflows; no settings file comes near it.
constexpr DWORD kSectionBufferLimit = std::numeric_limits<DWORD>::max() / 2;
} // namespace

BOOL CInstallDatReader::ReadString(LPCSTR key, LPCSTR defaultValue, std::string& value) const {
    std::vector<char> buffer(kValueBufferSize, '\0');
    GetPrivateProfileStringA(m_strSection.c_str(), key, kMissing, buffer.data(), kValueBufferSize,
                             m_strFilePath.c_str());
    if (lstrcmpA(buffer.data(), kMissing) == 0) {
        value = defaultValue;
        return FALSE;
    }
    value = buffer.data();
    return TRUE;
}

int CInstallDatReader::ReadSection(std::vector<tagEntryValue>& entries) const {
    entries.clear();
    DWORD size = kSectionBufferFirst;
    std::vector<char> buffer(size, '\0');
    DWORD length =
        GetPrivateProfileSectionA(m_strSection.c_str(), buffer.data(), size, m_strFilePath.c_str());
    // A result of size - 2 means the section may have been cut: read it again, twice as large.
    // Each read goes through the whole file, and the section gains entries with every build of
    // every edition: growing by a fixed step would read it once per step of its length.
    while (length != 0 && length >= size - 2 && size <= kSectionBufferLimit) {
        size *= 2;
        buffer.assign(size, '\0');
        length = GetPrivateProfileSectionA(m_strSection.c_str(), buffer.data(), size,
                                           m_strFilePath.c_str());
    }
    if (length == 0) {
        return 0;
    }
    for (const char* entry = buffer.data(); *entry != '\0'; entry += std::strlen(entry) + 1) {
        const std::string_view line(entry);
        const std::size_t equals = text::FindChar(line, '=');
        if (equals == text::npos || equals == 0) {
            continue;
        }
        entries.push_back(
            {std::string(line.substr(0, equals)), std::string(line.substr(equals + 1))});
    }
    return static_cast<int>(entries.size());
}
