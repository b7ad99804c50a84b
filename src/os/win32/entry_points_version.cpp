// version.dll entry points the launcher calls.
#include "os/win32/system_library.h"

SETUP_FORWARD(Version, DWORD, 0, GetFileVersionInfoSizeA,
              (LPCSTR lptstrFilename, LPDWORD lpdwHandle), (lptstrFilename, lpdwHandle))
SETUP_FORWARD(Version, WINBOOL, FALSE, GetFileVersionInfoA,
              (LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData),
              (lptstrFilename, dwHandle, dwLen, lpData))
SETUP_FORWARD(Version, WINBOOL, FALSE, VerQueryValueA,
              (LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen),
              (pBlock, lpSubBlock, lplpBuffer, puLen))
