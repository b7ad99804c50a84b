// The system DLLs the launcher uses beyond kernel32 and the C runtime, each loaded from the
// system folder only, when first needed (each one costs start-up time), and kept for the life
// of the process.
#pragma once

#include "os/win32/windows_api.h"

enum class SystemLibrary {
    User32,
    Gdi32,
    Advapi32,
    Shell32,
    Shlwapi,
    Comctl32,
    Msi,
    Version,
    Wintrust,
    Crypt32
};

// The address of `name` in the library (loaded on first use), or null with the last error set.
FARPROC ResolveSystemProc(SystemLibrary library, LPCSTR name);

// Loads every library now, before any system DLL could look for one by name.
void LoadSystemLibraries();

// Defines a system entry point with its Windows declaration, forwarding to the real one. The
// target is resolved once; when the library or entry point is missing the call fails the way
// callers already handle: `failure` with ERROR_PROC_NOT_FOUND as the last error.
#define SETUP_FORWARD(library, result, failure, name, parameters, arguments)                       \
    extern "C" result WINAPI name parameters {                                                     \
        using Function = result(WINAPI*) parameters;                                               \
        static const Function target = reinterpret_cast<Function>(                                 \
            reinterpret_cast<void*>(ResolveSystemProc(SystemLibrary::library, #name)));            \
        if (target == nullptr) {                                                                   \
            SetLastError(ERROR_PROC_NOT_FOUND);                                                    \
            return failure;                                                                        \
        }                                                                                          \
        return target arguments;                                                                   \
    }
