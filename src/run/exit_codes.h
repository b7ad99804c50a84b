// The exit codes of Setup.exe: all that deployment tools read of a run. They are Windows
// Installer's own codes, so that a caller that already handles msiexec's codes handles ours.
// When msiexec ran, its own code is the run's. Values never change.
#pragma once

enum SetupExitCode : int {
    ExitCodeSuccess = 0,             // applied, or already applied
    ExitCodeUserCancelled = 1602,    // the engine files disagree and a person answered No
    ExitCodeFailed = 1603,           // msiexec could not be started; engine files disagree unasked
    ExitCodeAlreadyRunning = 1618,   // the product's installer or another launcher is running
    ExitCodeMediaUnusable = 1619,    // no patch package, or none that names its target
    ExitCodeRestartInitiated = 1641, // msiexec's: success, the machine is restarting
    ExitCodeNoTarget = 1642,         // the product is not installed or the patch does not fit
    ExitCodePatchRejected = 1643,    // a signed launcher's patch is not signed by its publisher
    ExitCodeRestartRequired = 3010,  // msiexec's: success, a restart is due
};

// The installer's codes that mean the patch is in place.
inline bool IsInstallerSuccess(unsigned long exitCode) {
    return exitCode == ExitCodeSuccess || exitCode == ExitCodeRestartRequired ||
           exitCode == ExitCodeRestartInitiated;
}
