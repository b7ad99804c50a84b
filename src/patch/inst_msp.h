// The patch update driver: tells the user what the run decided for the installed product in
// one message box, and applies the patch when that is the decision.
#pragma once

#include "patch/update_decision.h"

class CSetupExeApp;

// The run's exit code: the installer's own when it ran (exit_codes.h).
int InstMSP(CSetupExeApp& app);
