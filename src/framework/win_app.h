// The application object of a windowless program: one global CWinApp-derived object whose
// InitInstance does the program's whole work. Returning FALSE from it ends the program.
#pragma once

#include "os/win32api.h"

class CWinApp {
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's work. The base does the framework's own initialisation and returns TRUE.
    virtual BOOL InitInstance() { return TRUE; }
    // Runs when InitInstance has returned; its result is the process exit code.
    virtual int ExitInstance() { return 0; }

    HINSTANCE m_hInstance = nullptr;
    // The command line after the program name and the blanks that follow it.
    LPSTR m_lpCmdLine = nullptr;
    LPCSTR m_pszAppName;
};

// The one application object (the first constructed that is still alive), or null.
CWinApp* AfxGetApp();

// The body of the program entry: hands the command line to the application object, runs
// InitInstance and the exit processing, and returns the exit code.
int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine);
