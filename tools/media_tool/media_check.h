// media_tool check: update media read the way Setup.exe reads them, and Setup.exe's decision
// for each product package given.
#pragma once

#include "media_report.h"

#include <string>
#include <vector>

struct tagCheckRequest {
    std::string strMedia;                  // the folder that holds Setup.exe
    std::vector<std::string> astrPackages; // product packages, one row each
    std::vector<std::string> astrApplied;  // patches applied to each of them
};

tagMediaReport CheckMedia(const tagCheckRequest& request);
