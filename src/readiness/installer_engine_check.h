// Whether the Windows Installer engine on the machine is in one piece before a patch is
// applied.
#pragma once

#include "run/exit_codes.h"

struct tagLaunchContext;

// How the check ends; a stop is the run's exit code.
enum class EngineCheck {
    GoOn = 0,                         // the files agree, or the person chose to go on
    Declined = ExitCodeUserCancelled, // they disagree and the person answered No (or Esc)
    NobodyAsked = ExitCodeFailed,     // they disagree and nobody could be asked
};

// Compares the engine files' versions; when they disagree, shows the dialog that asks whether
// to go on (unattended mode: does not ask).
[[nodiscard]] EngineCheck CheckInstallerEngine(const tagLaunchContext& context);
