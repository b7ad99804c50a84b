// One launcher at a time on a machine: a deployment service's run and a person's run must not
// both start the installer.
#pragma once

#include "os/scoped_handle.h"

// The mutex's name, in the global namespace so that every session sees it.
constexpr char kLauncherMutexName[] = "Global\\QernoE_Update_Setup";

// Takes the lock into `lock`, owned until `lock` ends; false when another launcher owns it (the
// handle is then closed at once). A lock that cannot be made or asked for another reason is
// traced and does not stop the run.
[[nodiscard]] bool TakeLauncherLock(COwnedMutex& lock);
