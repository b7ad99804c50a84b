// The installer's packed version number: major in bits 31-24, minor in 23-16, build in 15-0;
// 0 means none. Packed versions compare as unsigned integers.
#pragma once

#include "os/win32api.h"

#include <string>

// Packs a dotted text such as 6.0.1234; 0 when it has fewer than three numbers.
[[nodiscard]] DWORD GetMSIVersion(const std::string& versionText);
// Packs three numbers, each cut to its field.
[[nodiscard]] DWORD MakeMSIVersion(int major, int minor, int build);
