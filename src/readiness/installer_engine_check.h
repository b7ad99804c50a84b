// Whether the Windows Installer engine on the machine is in one piece before a patch is
// applied.
#pragma once

struct tagLaunchContext;

// How the check ends.
enum class EngineCheck {
    GoOn,        // the engine files agree, or the person chose to go on
    Declined,    // they disagree and the person answered No (or Esc)
    NobodyAsked, // they disagree and nobody could be asked (unattended, or no dialog)
};

// Compares the engine files' versions; when they disagree, shows the dialog that asks whether
// to go on (unattended mode: does not ask).
[[nodiscard]] EngineCheck CheckInstallerEngine(const tagLaunchContext& context);
