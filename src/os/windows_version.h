// Which Windows the launcher runs on, as far as its message texts care.
#pragma once

// True unless the running Windows is confirmed to be version 6.0 or later. The system is
// asked once per process.
[[nodiscard]] bool IsPreVistaWindows();

// The version test with its memory of the answer.
class CWindowsVersionTest {
public:
    bool IsPreVista();

private:
    bool m_bTested = false;
    int m_nResult = 0;
};

// The process's one test, which IsPreVistaWindows asks.
CWindowsVersionTest& ProcessWindowsVersionTest();
