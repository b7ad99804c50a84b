// shell32.dll and comctl32.dll entry points the launcher calls.
#include "os/win32/system_library.h"

SETUP_FORWARD(Shell32, HINSTANCE, nullptr, ShellExecuteA,
              (HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
               LPCSTR lpDirectory, INT nShowCmd),
              (hwnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd))
SETUP_FORWARD(Shell32, WINBOOL, FALSE, ShellExecuteExA, (SHELLEXECUTEINFOA * pExecInfo),
              (pExecInfo))
SETUP_FORWARD(Comctl32, WINBOOL, FALSE, InitCommonControlsEx, (const INITCOMMONCONTROLSEX* picce),
              (picce))
