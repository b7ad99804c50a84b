// The one way the launcher writes a date and time.
#pragma once

#include "os/win32api.h"

#include <string>

// "YYYY/MM/DD hh:mm:ss".
std::string FormatDateTime(const SYSTEMTIME& time);
