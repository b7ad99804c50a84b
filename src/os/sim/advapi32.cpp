// Simulated registry calls.
#include "os/sim/machine.h"

namespace {
sim::Registry& Keys() {
    return sim::Machine::Current().Keys();
}
} // namespace

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM samDesired,
                             PHKEY phkResult) {
    return Keys().Open(hKey, lpSubKey, samDesired, false, phkResult, nullptr);
}

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*Reserved*/, LPSTR /*lpClass*/,
                               DWORD /*dwOptions*/, REGSAM samDesired,
                               LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, PHKEY phkResult,
                               DWORD* lpdwDisposition) {
    if (!sim::Machine::Current().ChangeState(std::string("create key ") +
                                             (lpSubKey == nullptr ? "" : lpSubKey))) {
        return static_cast<LSTATUS>(ERROR_NOT_READY);
    }
    return Keys().Open(hKey, lpSubKey, samDesired, true, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, DWORD* /*lpReserved*/, DWORD* lpType,
                                BYTE* lpData, DWORD* lpcbData) {
    return Keys().Query(hKey, lpValueName, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/, DWORD dwType,
                              const BYTE* lpData, DWORD cbData) {
    if (!sim::Machine::Current().ChangeState(std::string("set value ") +
                                             (lpValueName == nullptr ? "" : lpValueName))) {
        return static_cast<LSTATUS>(ERROR_NOT_READY);
    }
    return Keys().Set(hKey, lpValueName, dwType, lpData, cbData);
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    if (!sim::Machine::Current().ChangeState(std::string("delete value ") +
                                             (lpValueName == nullptr ? "" : lpValueName))) {
        return static_cast<LSTATUS>(ERROR_NOT_READY);
    }
    return Keys().DeleteValue(hKey, lpValueName);
}

LSTATUS WINAPI RegDeleteKeyExA(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, DWORD /*Reserved*/) {
    if (!sim::Machine::Current().ChangeState(std::string("delete key ") +
                                             (lpSubKey == nullptr ? "" : lpSubKey))) {
        return static_cast<LSTATUS>(ERROR_NOT_READY);
    }
    return Keys().DeleteKey(hKey, lpSubKey, samDesired);
}

LSTATUS WINAPI RegFlushKey(HKEY hKey) {
    return Keys().Flush(hKey);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    return Keys().Close(hKey);
}
