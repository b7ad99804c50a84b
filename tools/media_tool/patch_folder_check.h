// The checks of MSP\: every patch package as the launcher reads it, and the probe package.
#pragma once

#include "media_report.h"

struct tagLaunchContext;

// Needs the settings entries (CheckSettings) to tell listed from unlisted packages.
void CheckPatchFolder(const tagLaunchContext& context, tagMediaReport& report);
