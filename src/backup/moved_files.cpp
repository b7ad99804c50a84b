#include "backup/moved_files.h"

#include "backup/restore_file.h"

CMovedFiles::~CMovedFiles() {
    RestoreFile(m_files, !m_bInstallerSucceeded);
}
