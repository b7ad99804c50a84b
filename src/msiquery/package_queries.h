// Read-only questions to Windows Installer about a product package and an installed product.
// Each traces its steps; outputs are written only on success.
#pragma once

#include "os/win32api.h"

#include <cstdint>
#include <string>

// MsiOpenDatabase's read-only patch-package mode, 32 (MSIDBOPEN_READONLY + MSIDBOPEN_PATCHFILE).
// Spelled as a number: the headers define the read-only mode as a null pointer.
inline LPCSTR PatchReadOnlyMode() {
    return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(MSIDBOPEN_PATCHFILE));
}

// Reads one field of an installer record the way msi.dll wants it: ask for the length, then
// read into a buffer one larger. Untraced; false (with the thread's last error untouched) when
// either call fails.
[[nodiscard]] bool ReadRecordText(MSIHANDLE record, UINT field, std::string& value);

// The Value of the Property table row `name` of the package at `packagePath`.
[[nodiscard]] bool GetMSIProperty(const std::string& name, const std::string& packagePath,
                                  std::string& value);
// The package's ProductCode property.
[[nodiscard]] bool GetMSIProductCode(const std::string& packagePath, std::string& productCode);
// One attribute of an installed product's information (values up to 511 characters).
[[nodiscard]] bool GetMSIProductInfo(const std::string& productCode, const std::string& attribute,
                                     std::string& value);
