// Whether the Windows Installer engine on the machine is in one piece before a patch is
// applied, and the Windows version test of the message texts.
#pragma once

class CSetupExeApp;

// True when the update must stop: the engine files disagree and the user declined to go on,
// or could not be asked (unattended mode, or the dialog could not be shown); `exitCode` then
// says which (exit_codes.h) and is not touched otherwise.
bool CheckInstallerEngine(CSetupExeApp& app, int& exitCode);

// True unless the running Windows is confirmed to be version 6.0 or later. The system is
// asked once per process.
bool IsPreVistaWindows();

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
