// Applying the chosen patch: the installer's command line, and the run of msiexec.exe with the
// program files moved aside around it.
#pragma once

#include <string>

struct tagLaunchContext;
struct tagUpdateDecision;

// The command line msiexec.exe gets for `patchPath`, its verbose log written to `logPath`: the
// reinstall properties, no user interface in silent mode (and no restart, unattended), the
// settings copy, and in normal mode the launcher's own command line after it.
[[nodiscard]] std::string BuildInstallerCommandLine(const tagLaunchContext& context,
                                                    const std::string& patchPath,
                                                    const std::string& logPath);

// Applies the decision's patch: backs the program files up, runs msiexec.exe from the system
// folder, waits for it, and puts files back by the restore rules. The installer's exit code, or
// 1603 when it could not be started; the details are in its own log.
[[nodiscard]] int SetupPatch(const tagLaunchContext& context, const tagUpdateDecision& decision);
