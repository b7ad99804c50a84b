#pragma once

#include "os/win32api.h"

#include <cstdint>

// MsiOpenDatabase's read-only patch-package mode, 32 (MSIDBOPEN_READONLY + MSIDBOPEN_PATCHFILE).
// Spelled as a number: the headers define the read-only mode as a null pointer.
inline LPCSTR PatchReadOnlyMode() {
    return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(MSIDBOPEN_PATCHFILE));
}
