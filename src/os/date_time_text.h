// The one way the launcher writes a date and time: "YYYY/MM/DD hh:mm:ss".
#pragma once

#include "os/win32api.h"

#include <cstdio>
#include <string>

[[nodiscard]] inline std::string FormatDateTime(const SYSTEMTIME& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", time.wYear, time.wMonth,
                  time.wDay, time.wHour, time.wMinute, time.wSecond);
    return text;
}
