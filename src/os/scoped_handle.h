// One small owner per kind of handle: the traits say what "none" is and how to close it.
// Setting or releasing a holder keeps the thread's last error, which callers read after a
// failing call and trace.
#pragma once

#include "os/win32api.h"

#include <utility>

template <typename Traits>
class CScopedHandle {
public:
    using Handle = typename Traits::Handle;

    CScopedHandle() = default;
    explicit CScopedHandle(Handle handle) : m_handle(handle) {}
    ~CScopedHandle() { Reset(); }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    CScopedHandle(CScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    CScopedHandle& operator=(CScopedHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    bool IsValid() const { return m_handle != Traits::Invalid(); }
    Handle Release() { return std::exchange(m_handle, Traits::Invalid()); }
    // For a call that hands out a new handle through a pointer: what was held is closed first.
    Handle* Put() {
        Reset();
        return &m_handle;
    }
    void Reset(Handle handle = Traits::Invalid()) {
        const DWORD lastError = GetLastError();
        if (IsValid()) {
            Traits::Close(m_handle);
        }
        m_handle = handle;
        SetLastError(lastError);
    }

private:
    Handle m_handle = Traits::Invalid();
};

// FindFirstFileA's handle: INVALID_HANDLE_VALUE when none, closed with FindClose.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};
using CFindHandle = CScopedHandle<FindHandleTraits>;

// An installer handle (database, view, record, summary information): 0 when none, closed with
// MsiCloseHandle.
struct MsiHandleTraits {
    using Handle = MSIHANDLE;
    static Handle Invalid() { return 0; }
    static void Close(Handle handle) { MsiCloseHandle(handle); }
};
using CMsiHandle = CScopedHandle<MsiHandleTraits>;

// CreateFileA's handle: INVALID_HANDLE_VALUE when none, closed with CloseHandle.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
using CFileHandle = CScopedHandle<FileHandleTraits>;

// A kernel object's handle (process, mutex): null when none, closed with CloseHandle.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
using CKernelHandle = CScopedHandle<KernelHandleTraits>;

// An open registry key: null when none, closed with RegCloseKey.
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { RegCloseKey(handle); }
};
using CRegKeyHandle = CScopedHandle<RegKeyTraits>;

// A mutex this thread owns: released, then closed. Closing alone would leave it abandoned until
// the thread ends.
struct OwnedMutexTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) {
        ReleaseMutex(handle);
        CloseHandle(handle);
    }
};
using COwnedMutex = CScopedHandle<OwnedMutexTraits>;
