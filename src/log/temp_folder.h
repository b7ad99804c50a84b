#pragma once

#include "os/win32api.h"

#include <string>

// A call that reports the size it would need has failed just as one that returns 0.
inline bool FitsBuffer(DWORD result, DWORD bufferSize) {
    return result != 0 && result < bufferSize;
}

// The user's temporary folder in its long form (as given when that cannot be had), ending in
// "\"; "" when Windows names none that fits MAX_PATH.
[[nodiscard]] std::string GetTempFolderLongForm();
