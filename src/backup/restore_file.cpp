#include "backup/restore_file.h"

#include "log/trace_scope.h"

bool MoveBack(const std::string& from, const std::string& to, DWORD flags) {
    TraceLine("Restore File：" + from + " → " + to);
    if (MoveFileExA(from.c_str(), to.c_str(), flags)) {
        TraceLine("Restore File：SUCCESS");
        return true;
    }
    TraceLine("Restore File：Error");
    TraceCode(static_cast<int>(GetLastError()));
    return false;
}

void DeleteSetAside(const std::string& path) {
    TraceLine("DeleteFile：" + path);
    // A read-only one left in place would keep the next run from setting its backup aside.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.c_str())) {
        TraceLine("DeleteFile：SUCCESS");
    } else {
        TraceCode(static_cast<int>(GetLastError()));
    }
}

bool RestoreFile(const std::vector<tagMovedFile>& moved, bool installerFailed) {
    std::vector<const tagMovedFile*> toRestore;
    bool setAside = false;
    for (const tagMovedFile& file : moved) {
        if (installerFailed || !PathFileExistsA(file.strOwnPath.c_str())) {
            toRestore.push_back(&file);
        }
        setAside = setAside || !file.strSetAsidePath.empty();
    }
    if (toRestore.empty() && !setAside) {
        return true;
    }
    CTraceScope scope("RestoreFile");
    bool allBack = true;
    for (const tagMovedFile* file : toRestore) {
        // The installer may have laid a half-patched file under the own name: it goes, even
        // when read-only, which MOVEFILE_REPLACE_EXISTING alone does not replace on Windows.
        SetFileAttributesA(file->strOwnPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        allBack =
            MoveBack(file->strBackupPath, file->strOwnPath, MOVEFILE_REPLACE_EXISTING) && allBack;
    }
    for (const tagMovedFile& file : moved) {
        if (file.strSetAsidePath.empty()) {
            continue;
        }
        if (installerFailed) {
            // Without replacing: if this file's own move back failed, its backup name is still
            // taken, and the older backup stays where it is rather than being lost.
            allBack = MoveBack(file.strSetAsidePath, file.strBackupPath, 0) && allBack;
            continue;
        }
        DeleteSetAside(file.strSetAsidePath);
    }
    return allBack;
}
