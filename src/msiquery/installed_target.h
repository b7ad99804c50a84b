// Which of a patch package's target products is the one on this machine.
#pragma once

#include <string>

// A patch's target list holds one or more product codes, ";" between them. The first code the
// installer knows as installed; the list as it stands when none is (so that the lookups made
// with it fail as for a product that is not installed).
std::string ChooseInstalledTarget(const std::string& targetList);
