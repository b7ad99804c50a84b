// media_tool make: update media laid out from a launcher, patches and the product packages
// they are for.
#pragma once

#include "media_report.h"

#include <optional>
#include <string>
#include <vector>

struct tagMakeRequest {
    std::string strOutDir;
    std::string strSetup;
    std::vector<std::string> astrPatches; // paired with the packages in order, or one for all
    std::vector<std::string> astrPackages;
    std::optional<std::string> strUrl;
};

// The Patch_<edition> lines: each package's package code in its edition's section, listing its
// patch, in the launcher's edition order; false with the reason when they cannot be made.
bool PlanSettings(const tagMakeRequest& request, std::vector<tagSettingsEntry>& entries,
                  std::string& error);

// Install.dat's bytes: code page 932, CR LF; [Install] first when there is a URL.
std::string ComposeInstallDat(const std::optional<std::string>& url,
                              const std::vector<tagSettingsEntry>& entries);

// Makes the folder and those above it (or takes one without media in it), copies the launcher as
// Setup.exe and the patches into MSP\, and writes Install.dat; false with the reason.
bool LayOutMedia(const tagMakeRequest& request, const std::vector<tagSettingsEntry>& entries,
                 std::string& error);
