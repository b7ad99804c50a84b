// After the installer has run: files moved aside go back to their own names, so that a failed
// or cancelled update never leaves the product without its program files.
#pragma once

#include "backup/backup_file.h"
#include "backup/move_journal.h"
#include "os/win32api.h"

#include <vector>

// Moves each file back from its "Bakup_" name. After a failed installer run every moved file
// goes back, over whatever the installer left under its own name; after a successful one only
// those whose own name is empty (the installer did not lay them again). An older backup set
// aside for the run goes back to its name after a failure and is deleted after a success. The
// traced operation "RestoreFile" appears only when there is something to do. False when a file
// that had to go back to its own name could not.
bool RestoreFile(const std::vector<tagMovedFile>& moved, bool installerFailed);

// One move back, traced with the restore step's lines; false (its code traced) when it failed.
bool MoveBack(const std::string& from, const std::string& to, DWORD flags);
// Deletes an older backup that has served its turn, read-only or not.
void DeleteSetAside(const std::string& path);

// The files moved aside for one installer run. Its end puts them back by these rules, as after
// a failure unless the installer was seen to succeed: a step left early never leaves a program
// file under its "Bakup_" name. Then the run's journal goes, unless a file is still under its
// backup name: the next run tries again.
class CMovedFiles {
public:
    CMovedFiles() = default;
    ~CMovedFiles() {
        if (RestoreFile(m_files, !m_bInstallerSucceeded) && m_journal.IsWritten()) {
            RemoveMoveJournal();
        }
    }
    CMovedFiles(const CMovedFiles&) = delete;
    CMovedFiles& operator=(const CMovedFiles&) = delete;

    std::vector<tagMovedFile>& Files() { return m_files; }
    CMoveJournal& Journal() { return m_journal; }
    void SetInstallerSucceeded() { m_bInstallerSucceeded = true; }

private:
    std::vector<tagMovedFile> m_files;
    CMoveJournal m_journal;
    bool m_bInstallerSucceeded = false;
};
