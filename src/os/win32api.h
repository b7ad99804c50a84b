// The one door to the operating system. Launcher and framework code include this header and
// call the Win32, shell and C runtime entry points by their Windows names; on Windows they are
// the real functions, on Linux the simulated machine in os/sim implements them.
#pragma once

#if defined(_WIN32)
#include "os/win32/windows_api.h"
#else
#include "os/sim/sim_api.h"
#endif

#include "os/process_hardening.h"
