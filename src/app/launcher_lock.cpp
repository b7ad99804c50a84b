#include "app/launcher_lock.h"

#include "log/trace_log.h"

bool TakeLauncherLock(CKernelHandle& lock) {
    // Not owned, only held open: the name exists while any launcher has a handle to it, and a
    // launcher that dies releases it with its handles.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kLauncherMutexName);
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // Made by a launcher of another account (a service) whose security keeps us out.
        if (error == ERROR_ACCESS_DENIED) {
            return false;
        }
        TraceLastError("CreateMutex Err");
        return true;
    }
    lock.Reset(mutex);
    return error != ERROR_ALREADY_EXISTS;
}
