// The phases of a launch, in the order InitInstance runs them.
#pragma once

#include "app/dat_file.h"
#include "log/install_log.h"

class CSetupExeApp;

// Checks the Windows Installer engine files; true when the update must stop.
bool CheckInstallerEngine(CSetupExeApp& app);
// Chooses, announces and applies the one patch the settings name for the installed product.
void InstMSP(CSetupExeApp& app);
