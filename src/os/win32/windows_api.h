// Windows side of the door: the real declarations. Setup.exe imports only kernel32.dll and
// msvcrt.dll, which Windows always maps from its Known DLLs. Every other system DLL is bound
// at run time from the system folder (system_library.cpp), so that no copy planted beside the
// program is ever loaded, not even as a dependency of another system DLL. The markers below
// make the headers declare those DLLs' entry points without dllimport, so that the door's own
// definitions (entry_points_*.cpp) are the ones called.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define _USER32_
#define _GDI32_
#define _ADVAPI32_
#define _SHELL32_
#define _SHLWAPI_
#define _COMCTL32_
// wincrypt.h's marker for crypt32's entry points; wintrust.h declares its own without one.
#define WINIMPM

#include <windows.h>
#include <winver.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <msi.h>
#include <msiquery.h>
#include <commctrl.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <share.h>
#include <cstdio>
