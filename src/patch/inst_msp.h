// The patch update driver: decides for the installed product whether the chosen patch is not
// applicable, already applied or to be set up, tells the user in one message box, and applies
// it.
#pragma once

#include "os/win32api.h"

#include <string>

class CSetupExeApp;

// The install modes; the numbers are written to the trace and never change.
enum InstMode {
    InstModeError = -1,
    InstModeNotListed = 0,
    InstModeApply = 1,
    InstModeSameBuild = 2,
    InstModeOlderBuild = 3,
};

// The run's exit code: the installer's own when it ran (exit_codes.h).
int InstMSP(CSetupExeApp& app);

// Compares the patch the settings list for the installed package with the patches applied.
int GetMSPInstMode(CSetupExeApp& app, std::string& chosenPatchPath,
                   const std::string& localPackage);

// The installed product version and the highest build among the applied patches (both 0
// first); false when the product version cannot be read.
bool GetInstalledVersions(const std::string& localPackage, DWORD& productVersion,
                          DWORD& highestBuild);
