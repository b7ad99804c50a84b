// msi.dll and version.dll are not Known DLLs: a plain load would search the program's own
// folder first, where a planted copy could wait. The launcher never imports them; it loads
// them by full path from the system folder and binds their entry points here.
#pragma once

#include "os/win32/windows_api.h"

enum class SystemLibrary { Msi, Version };

// Loads the library from the system folder (once) and returns the address of `name`, or null
// with the last error set.
FARPROC ResolveSystemProc(SystemLibrary library, LPCSTR name);

// Loads both libraries now, so that nothing later can pick up another copy.
void LoadSystemLibraries();
