#include "os/windows_version.h"

#include "os/win32api.h"

bool CWindowsVersionTest::IsPreVista() {
    if (!m_bTested) {
        m_bTested = true;
        OSVERSIONINFOEXA version{};
        version.dwOSVersionInfoSize = sizeof version;
        version.dwMajorVersion = 6;
        version.dwMinorVersion = 0;
        version.wServicePackMajor = 0;
        DWORDLONG mask = 0;
        mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
        mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
        mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
        m_nResult = VerifyVersionInfoA(
            &version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask);
    }
    return m_nResult == 0;
}

CWindowsVersionTest& ProcessWindowsVersionTest() {
    static CWindowsVersionTest test;
    return test;
}

bool IsPreVistaWindows() {
    return ProcessWindowsVersionTest().IsPreVista();
}
