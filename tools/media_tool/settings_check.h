// The checks of Install.dat, read from the launcher's own copy of it with the launcher's reader.
#pragma once

#include "media_report.h"

struct tagLaunchContext;

// [Install] URL, and every line of every Patch_<edition> section against MSP\.
void CheckSettings(const tagLaunchContext& context, tagMediaReport& report);
