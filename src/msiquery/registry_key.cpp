#include "msiquery/registry_key.h"

#include <vector>

bool CRegistryKey::Open(HKEY root, LPCSTR subKey, bool create, bool flush) {
    Close(flush);
    root = root != nullptr ? root : HKEY_CURRENT_USER;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, m_samAccess, &opened) == ERROR_SUCCESS ||
        (create && RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, m_samAccess,
                                   nullptr, &opened, nullptr) == ERROR_SUCCESS)) {
        m_hKey = opened;
    }
    return m_hKey != nullptr;
}

bool CRegistryKey::QueryString(LPCSTR valueName, std::string& target) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(m_hKey, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    // One byte more than reported and all zero, so a value stored without its NUL still ends.
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    DWORD bufferSize = size + 1;
    if (RegQueryValueExA(m_hKey, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &bufferSize) != ERROR_SUCCESS) {
        return false;
    }
    target = buffer.data();
    return true;
}

void CRegistryKey::Close(bool flush) {
    if (m_hKey != nullptr) {
        if (flush) {
            RegFlushKey(m_hKey);
        }
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}
