// One row of the check: what Setup.exe would do where a product package is installed.
#pragma once

#include "media_report.h"

#include <string>
#include <vector>

struct tagLaunchContext;

// The package's edition, section and listed patch, and the launcher's decision for it with
// `appliedPatches` applied; adds the row and its findings to the report.
void CheckPackage(const tagLaunchContext& context, const std::string& package,
                  const std::vector<std::string>& appliedPatches, tagMediaReport& report);
