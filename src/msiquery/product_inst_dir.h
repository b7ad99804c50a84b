#pragma once

#include <string>

// The installed product's program folder: the REG_SZ value "DInstDir" of its per-machine
// installer registration key, looked for in the program's own registry view and then in the
// 64-bit view. `folder` is written only when the value was read.
[[nodiscard]] bool GetProductInstDir(const std::string& productCode, std::string& folder);
