// Which of a patch package's target products is the one on this machine.
#pragma once

#include <string>

// A patch's target list holds one or more product codes, ";" between them. The first code the
// installer knows as installed; the list as it stands when none is (so that the lookups made
// with it fail as for a product that is not installed).
[[nodiscard]] std::string ChooseInstalledTarget(const std::string& targetList);

// True when the target list names the product (codes compare packed, so braces and letter case
// do not matter).
[[nodiscard]] bool IsProductTargeted(const std::string& targetList, const std::string& productCode);
