// shlwapi.dll entry points the launcher calls.
#include "os/win32/system_library.h"

SETUP_FORWARD(Shlwapi, WINBOOL, FALSE, PathFileExistsA, (LPCSTR pszPath), (pszPath))
SETUP_FORWARD(Shlwapi, WINBOOL, FALSE, PathIsDirectoryA, (LPCSTR pszPath), (pszPath))
SETUP_FORWARD(Shlwapi, WINBOOL, FALSE, PathIsURLA, (LPCSTR pszPath), (pszPath))
