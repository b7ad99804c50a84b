#include "app/launcher_lock.h"

#include "log/trace_log.h"

bool TakeLauncherLock(COwnedMutex& lock) {
    // Owned, not only held open: a launcher that lost keeps its handle until it ends, so the
    // name alone would turn away a launcher started after the winner had ended.
    HANDLE mutex = CreateMutexA(nullptr, TRUE, kLauncherMutexName);
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // Made by a launcher of another account (a service) whose security keeps us out.
        if (error == ERROR_ACCESS_DENIED) {
            return false;
        }
        TraceLastError("CreateMutex Err");
        return true;
    }
    if (error != ERROR_ALREADY_EXISTS) {
        lock.Reset(mutex);
        return true;
    }
    // The initial ownership is given only to the call that made the mutex: ask without waiting.
    CKernelHandle opened(mutex);
    switch (WaitForSingleObject(mutex, 0)) {
    case WAIT_OBJECT_0:
        break;
    case WAIT_ABANDONED:
        // Its owner ended without letting go (ended from outside, or a crash): nothing runs.
        TraceLine("Setup Lock Abandoned");
        break;
    case WAIT_TIMEOUT:
        return false;
    default:
        TraceLastError("WaitForSingleObject Err");
        return true;
    }
    lock.Reset(opened.Release());
    return true;
}
