// Putting right what a run cut off midway left: its journal names the files it may have moved
// aside, and the next run moves back each one whose own name is empty.
#pragma once

#include "backup/backup_file.h"

#include <string>

// Recovers from a journal left on this machine, if there is one; run while the launcher lock is
// held, so no other launcher is moving files. A journal is left for a later run while an
// installation is in progress (the cut-off run's msiexec may still be working), and removed
// once every file it names is back or was never moved.
void RecoverFile();

// Whether a journal line may be acted on: a program file directly in `folder` (the recorded
// product's registered program folder, ending in "\") or its "Qerno3D\" subfolder, whose backup
// is "Bakup_" + its name beside it and whose older backup, if any, is that + ".old". Anything
// else (another folder, "..", a stream, a wildcard) is not a move any run of ours made.
[[nodiscard]] bool IsJournaledMove(const tagMovedFile& file, const std::string& folder);
