// Windows side of the door: the real declarations. msi.dll and version.dll are not linked by
// import; their entry points are defined in system_libraries.cpp and bound at run time to the
// copies in the system folder.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winver.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <msi.h>
#include <msiquery.h>

#include <share.h>
#include <cstdio>
