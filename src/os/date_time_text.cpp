#include "os/date_time_text.h"

#include <cstdio>

std::string FormatDateTime(const SYSTEMTIME& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", time.wYear, time.wMonth,
                  time.wDay, time.wHour, time.wMinute, time.wSecond);
    return text;
}
