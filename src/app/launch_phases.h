// The phases of a launch, in the order InitInstance runs them.
#pragma once

#include "app/dat_file.h"
#include "log/install_log.h"
#include "readiness/installer_engine_check.h"

class CSetupExeApp;
// Chooses, announces and applies the one patch the settings name for the installed product;
// the run's exit code.
int InstMSP(CSetupExeApp& app);
