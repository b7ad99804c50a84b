// After the installer has run: files moved aside go back to their own names, so that a failed
// or cancelled update never leaves the product without its program files.
#pragma once

#include "backup/backup_file.h"

#include <vector>

// Moves each file back from its "Bakup_" name. After a failed installer run every moved file
// goes back, over whatever the installer left under its own name; after a successful one only
// those whose own name is empty (the installer did not lay them again). An older backup set
// aside for the run goes back to its name after a failure and is deleted after a success. The
// traced operation "RestoreFile" appears only when there is something to do.
void RestoreFile(const std::vector<tagMovedFile>& moved, bool installerFailed);

// The files moved aside for one installer run. Its end puts them back by these rules, as after
// a failure unless the installer was seen to succeed: a step left early never leaves a program
// file under its "Bakup_" name.
class CMovedFiles {
public:
    CMovedFiles() = default;
    ~CMovedFiles() { RestoreFile(m_files, !m_bInstallerSucceeded); }
    CMovedFiles(const CMovedFiles&) = delete;
    CMovedFiles& operator=(const CMovedFiles&) = delete;

    std::vector<tagMovedFile>& Files() { return m_files; }
    void SetInstallerSucceeded() { m_bInstallerSucceeded = true; }

private:
    std::vector<tagMovedFile> m_files;
    bool m_bInstallerSucceeded = false;
};
