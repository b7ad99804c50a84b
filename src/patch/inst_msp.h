// The patch update driver: tells the user what the run decided for the installed product in
// one message box, and applies the patch when that is the decision.
#pragma once

struct tagLaunchContext;

// The run's exit code: the installer's own when it ran (run/exit_codes.h).
[[nodiscard]] int InstMSP(const tagLaunchContext& context);
