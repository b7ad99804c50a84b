// The one application object of Setup.exe, built before the program entry runs.
#include "app/setup_exe_app.h"

CSetupExeApp theApp;
