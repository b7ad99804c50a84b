// Build versions of patch packages and of the patches applied to an installed product.
#pragma once

#include "os/win32api.h"

#include <string>
#include <vector>

// One field of an installer record, traced; false, with `value` untouched, when it cannot be read.
bool GetRecordString(MSIHANDLE record, UINT field, std::string& value);

// The "DBuildVersion" row of the patch's MsiPatchMetadata table, as text and packed; both
// written only when a non-empty row was found.
[[nodiscard]] bool GetMspBuildVersion(const std::string& patchPath, std::string& versionText,
                                      DWORD& packed);

// Appends the patch code of every patch applied to the product; always true.
bool GetPatchPackageCode(const std::string& productCode, std::vector<std::string>& patchCodes);

// The packed build version of an applied patch, read from the installer's cached copy; 0 when
// it cannot be had.
[[nodiscard]] DWORD GetPCMspBuildVersion(const std::string& patchCode);
