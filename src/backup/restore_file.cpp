#include "backup/restore_file.h"

#include "log/trace_scope.h"

void RestoreFile(const std::vector<tagMovedFile>& moved, bool installerFailed) {
    std::vector<const tagMovedFile*> toRestore;
    for (const tagMovedFile& file : moved) {
        if (installerFailed || !PathFileExistsA(file.strOwnPath.c_str())) {
            toRestore.push_back(&file);
        }
    }
    if (toRestore.empty()) {
        return;
    }
    CTraceScope scope("RestoreFile");
    for (const tagMovedFile* file : toRestore) {
        TraceLine("Restore File：" + file->strBackupPath + " → " + file->strOwnPath);
        // The installer may have laid a half-patched file under the own name: it goes.
        if (MoveFileExA(file->strBackupPath.c_str(), file->strOwnPath.c_str(),
                        MOVEFILE_REPLACE_EXISTING)) {
            TraceLine("Restore File：SUCCESS");
        } else {
            TraceLine("Restore File：Error");
            TraceCode(static_cast<int>(GetLastError()));
        }
    }
}
