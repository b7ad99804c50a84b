// advapi32.dll entry points the launcher calls.
#include "os/win32/system_library.h"

SETUP_FORWARD(Advapi32, LONG, static_cast<LONG>(ERROR_PROC_NOT_FOUND), RegOpenKeyExA,
              (HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult),
              (hKey, lpSubKey, ulOptions, samDesired, phkResult))
SETUP_FORWARD(Advapi32, LONG, static_cast<LONG>(ERROR_PROC_NOT_FOUND), RegCreateKeyExA,
              (HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
               REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
               LPDWORD lpdwDisposition),
              (hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired, lpSecurityAttributes,
               phkResult, lpdwDisposition))
SETUP_FORWARD(Advapi32, LONG, static_cast<LONG>(ERROR_PROC_NOT_FOUND), RegQueryValueExA,
              (HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
               LPDWORD lpcbData),
              (hKey, lpValueName, lpReserved, lpType, lpData, lpcbData))
SETUP_FORWARD(Advapi32, LONG, static_cast<LONG>(ERROR_PROC_NOT_FOUND), RegSetValueExA,
              (HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
               DWORD cbData),
              (hKey, lpValueName, Reserved, dwType, lpData, cbData))
SETUP_FORWARD(Advapi32, LONG, static_cast<LONG>(ERROR_PROC_NOT_FOUND), RegDeleteValueA,
              (HKEY hKey, LPCSTR lpValueName), (hKey, lpValueName))
SETUP_FORWARD(Advapi32, LONG, static_cast<LONG>(ERROR_PROC_NOT_FOUND), RegDeleteKeyExA,
              (HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, DWORD Reserved),
              (hKey, lpSubKey, samDesired, Reserved))
SETUP_FORWARD(Advapi32, LONG, static_cast<LONG>(ERROR_PROC_NOT_FOUND), RegFlushKey, (HKEY hKey),
              (hKey))
SETUP_FORWARD(Advapi32, LONG, static_cast<LONG>(ERROR_PROC_NOT_FOUND), RegCloseKey, (HKEY hKey),
              (hKey))
