#pragma once

#include "os/win32api.h"

#include <string>

// Owns one open registry key: closes it when it opens another, when it is closed and when it
// goes out of scope, flushing it first.
class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey() { Close(); }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Access asked for by the next Open (KEY_ALL_ACCESS to begin with).
    void SetAccess(REGSAM samAccess) { m_samAccess = samAccess; }

    // Opens `subKey` under `root` (null: HKEY_CURRENT_USER), creating it when asked; a key
    // already held is closed first (see Close). True when a key is open after.
    bool Open(HKEY root, LPCSTR subKey, bool create, bool flush);
    // Reads a REG_SZ value into `target`, which is left alone on any failure.
    bool QueryString(LPCSTR valueName, std::string& target);
    // Closes the key held, if any, flushing it first when asked.
    void Close(bool flush = true);

    bool IsOpen() const { return m_hKey != nullptr; }

private:
    HKEY m_hKey = nullptr;
    REGSAM m_samAccess = KEY_ALL_ACCESS;
};
