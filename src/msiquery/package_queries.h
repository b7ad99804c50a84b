// Read-only questions to Windows Installer about a product package and an installed product.
// Each traces its steps; outputs are written only on success.
#pragma once

#include <string>

// The Value of the Property table row `name` of the package at `packagePath`.
[[nodiscard]] bool GetMSIProperty(const std::string& name, const std::string& packagePath,
                                  std::string& value);
// The package's ProductCode property.
[[nodiscard]] bool GetMSIProductCode(const std::string& packagePath, std::string& productCode);
// One attribute of an installed product's information (values up to 511 characters).
[[nodiscard]] bool GetMSIProductInfo(const std::string& productCode, const std::string& attribute,
                                     std::string& value);
