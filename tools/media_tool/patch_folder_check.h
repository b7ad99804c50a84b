// The checks of MSP\: every patch package as the launcher reads it, and the probe package.
#pragma once

#include "media_report.h"

class CSetupExeApp;

// Needs the settings entries (CheckSettings) to tell listed from unlisted packages.
void CheckPatchFolder(const CSetupExeApp& app, tagMediaReport& report);
