#pragma once

#include "os/win32api.h"

#include <string>

// Reads one field of an installer record the way msi.dll wants it: ask for the length, then
// read into a buffer one larger. False (with the thread's last error untouched) when either
// call fails; `value` is written only on success.
[[nodiscard]] bool ReadRecordText(MSIHANDLE record, UINT field, std::string& value);
