// The files moved aside for one installer run, held so that they always go back.
#pragma once

#include "backup/backup_file.h"
#include "backup/restore_file.h"

#include <vector>

// Its end puts the files back by the restore rules (RestoreFile): as after a failed installer
// run unless the installer was seen to succeed, so that a step left early never leaves a
// program file under its "Bakup_" name.
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
