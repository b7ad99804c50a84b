#include "backup/restore_file.h"

#include "log/trace_scope.h"

namespace {

// Moves `from` to `to`, traced with the restore step's lines.
void MoveBack(const std::string& from, const std::string& to, DWORD flags) {
    TraceLine("Restore File：" + from + " → " + to);
    if (MoveFileExA(from.c_str(), to.c_str(), flags)) {
        TraceLine("Restore File：SUCCESS");
    } else {
        TraceLine("Restore File：Error");
        TraceCode(static_cast<int>(GetLastError()));
    }
}

} // namespace

void RestoreFile(const std::vector<tagMovedFile>& moved, bool installerFailed) {
    std::vector<const tagMovedFile*> toRestore;
    bool setAside = false;
    for (const tagMovedFile& file : moved) {
        if (installerFailed || !PathFileExistsA(file.strOwnPath.c_str())) {
            toRestore.push_back(&file);
        }
        setAside = setAside || !file.strSetAsidePath.empty();
    }
    if (toRestore.empty() && !setAside) {
        return;
    }
    CTraceScope scope("RestoreFile");
    for (const tagMovedFile* file : toRestore) {
        // The installer may have laid a half-patched file under the own name: it goes, even
        // when read-only, which MOVEFILE_REPLACE_EXISTING alone does not replace on Windows.
        SetFileAttributesA(file->strOwnPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        MoveBack(file->strBackupPath, file->strOwnPath, MOVEFILE_REPLACE_EXISTING);
    }
    for (const tagMovedFile& file : moved) {
        if (file.strSetAsidePath.empty()) {
            continue;
        }
        if (installerFailed) {
            // Without replacing: if this file's own move back failed, its backup name is still
            // taken, and the older backup stays where it is rather than being lost.
            MoveBack(file.strSetAsidePath, file.strBackupPath, 0);
            continue;
        }
        TraceLine("DeleteFile：" + file.strSetAsidePath);
        // A read-only one left in place would keep the next run from setting its backup aside.
        SetFileAttributesA(file.strSetAsidePath.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileA(file.strSetAsidePath.c_str())) {
            TraceLine("DeleteFile：SUCCESS");
        } else {
            TraceCode(static_cast<int>(GetLastError()));
        }
    }
}
