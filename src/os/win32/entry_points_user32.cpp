// user32.dll entry points the launcher calls.
#include "os/win32/system_library.h"

SETUP_FORWARD(User32, SHORT, 0, GetKeyState, (int nVirtKey), (nVirtKey))
SETUP_FORWARD(User32, INT_PTR, -1, DialogBoxParamA,
              (HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
               LPARAM dwInitParam),
              (hInstance, lpTemplateName, hWndParent, lpDialogFunc, dwInitParam))
SETUP_FORWARD(User32, WINBOOL, FALSE, EndDialog, (HWND hDlg, INT_PTR nResult), (hDlg, nResult))
SETUP_FORWARD(User32, HWND, nullptr, GetDlgItem, (HWND hDlg, int nIDDlgItem), (hDlg, nIDDlgItem))
SETUP_FORWARD(User32, int, 0, GetDlgCtrlID, (HWND hWnd), (hWnd))
SETUP_FORWARD(User32, WINBOOL, FALSE, SetWindowTextA, (HWND hWnd, LPCSTR lpString),
              (hWnd, lpString))
SETUP_FORWARD(User32, int, 0, GetWindowTextA, (HWND hWnd, LPSTR lpString, int nMaxCount),
              (hWnd, lpString, nMaxCount))
SETUP_FORWARD(User32, int, 0, GetWindowTextLengthA, (HWND hWnd), (hWnd))
SETUP_FORWARD(User32, LRESULT, 0, SendMessageA, (HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam),
              (hWnd, Msg, wParam, lParam))
SETUP_FORWARD(User32, LRESULT, 0, CallWindowProcA,
              (WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam),
              (lpPrevWndFunc, hWnd, Msg, wParam, lParam))
SETUP_FORWARD(User32, LRESULT, 0, DefWindowProcA,
              (HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam), (hWnd, Msg, wParam, lParam))
// 32-bit Windows: SetWindowLongPtrA and GetWindowLongPtrA are these two.
SETUP_FORWARD(User32, LONG, 0, SetWindowLongA, (HWND hWnd, int nIndex, LONG dwNewLong),
              (hWnd, nIndex, dwNewLong))
SETUP_FORWARD(User32, LONG, 0, GetWindowLongA, (HWND hWnd, int nIndex), (hWnd, nIndex))
SETUP_FORWARD(User32, WINBOOL, FALSE, GetClientRect, (HWND hWnd, LPRECT lpRect), (hWnd, lpRect))
SETUP_FORWARD(User32, HCURSOR, nullptr, SetCursor, (HCURSOR hCursor), (hCursor))
SETUP_FORWARD(User32, HCURSOR, nullptr, LoadCursorA, (HINSTANCE hInstance, LPCSTR lpCursorName),
              (hInstance, lpCursorName))
SETUP_FORWARD(User32, HICON, nullptr, CopyIcon, (HICON hIcon), (hIcon))
SETUP_FORWARD(User32, WINBOOL, FALSE, DestroyCursor, (HCURSOR hCursor), (hCursor))
SETUP_FORWARD(User32, DWORD, 0, GetSysColor, (int nIndex), (nIndex))
SETUP_FORWARD(User32, int, 0, MessageBoxA, (HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType),
              (hWnd, lpText, lpCaption, uType))
