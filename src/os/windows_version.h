// Which Windows the launcher runs on, as far as its message texts care.
#pragma once

#include "os/win32api.h"

// The version test with its memory of the answer: true unless the running Windows is confirmed
// to be version 6.0 or later.
class CWindowsVersionTest {
public:
    bool IsPreVista() {
        if (!m_bTested) {
            m_bTested = true;
            OSVERSIONINFOEXA version{};
            version.dwOSVersionInfoSize = sizeof version;
            version.dwMajorVersion = 6;
            DWORDLONG mask = VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
            mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
            mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
            m_nResult = VerifyVersionInfoA(
                &version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask);
        }
        return m_nResult == 0;
    }

private:
    bool m_bTested = false;
    int m_nResult = 0;
};

// The process's one test: the system is asked once per process.
inline CWindowsVersionTest& ProcessWindowsVersionTest() {
    static CWindowsVersionTest test;
    return test;
}

inline bool IsPreVistaWindows() {
    return ProcessWindowsVersionTest().IsPreVista();
}
