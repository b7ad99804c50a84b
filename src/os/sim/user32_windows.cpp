// Simulated user32 window, dialog and cursor calls.
#include "os/sim/machine.h"

#include <algorithm>
#include <cstring>

namespace {

sim::UserInterface& Ui() {
    return sim::Machine::Current().Ui();
}

} // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE /*hInstance*/, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    const auto id = reinterpret_cast<std::uintptr_t>(lpTemplateName);
    if (id > 0xFFFF) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND); // only numbered templates are simulated
        return -1;
    }
    return Ui().RunDialog(static_cast<WORD>(id), hWndParent, lpDialogFunc, dwInitParam);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    if (Ui().Valid(hDlg) == nullptr || hDlg->className != "#32770") {
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return FALSE;
    }
    hDlg->ended = true;
    hDlg->result = nResult;
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    if (Ui().Valid(hDlg) == nullptr) {
        return nullptr;
    }
    for (SimWindow* child : hDlg->children) {
        if (child->id == nIDDlgItem) {
            return child;
        }
    }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    return Ui().Valid(hWnd) != nullptr ? hWnd->id : 0;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Ui().Valid(hWnd) == nullptr || hWnd->proc == nullptr) {
        return 0;
    }
    return hWnd->proc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
    return lpPrevWndFunc == nullptr ? 0 : lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
    case WM_SETTEXT:
        hWnd->text = lParam == 0 ? "" : reinterpret_cast<LPCSTR>(lParam);
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(hWnd->text.size());
    case WM_GETTEXT: {
        if (wParam == 0) {
            return 0;
        }
        const std::size_t copied = std::min<std::size_t>(hWnd->text.size(), wParam - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), hWnd->text.data(), copied);
        reinterpret_cast<char*>(lParam)[copied] = '\0';
        return static_cast<LRESULT>(copied);
    }
    case WM_SETFONT:
        hWnd->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(hWnd->font);
    case WM_SETCURSOR:
        // The class cursor of every predefined class is the arrow.
        Ui().SetCurrentCursor(Ui().SharedCursor("arrow"));
        return FALSE;
    default:
        return 0;
    }
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (Ui().Valid(hWnd) == nullptr) {
        return FALSE;
    }
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (Ui().Valid(hWnd) == nullptr || nMaxCount <= 0) {
        return 0;
    }
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    if (Ui().Valid(hWnd) == nullptr) {
        return 0;
    }
    if (nIndex == GWLP_WNDPROC) {
        const auto previous = reinterpret_cast<LONG_PTR>(hWnd->proc);
        hWnd->proc = reinterpret_cast<WNDPROC>(dwNewLong);
        return previous;
    }
    const LONG_PTR previous = hWnd->longs[nIndex];
    hWnd->longs[nIndex] = dwNewLong;
    return previous;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    if (Ui().Valid(hWnd) == nullptr) {
        return 0;
    }
    if (nIndex == GWLP_WNDPROC) {
        return reinterpret_cast<LONG_PTR>(hWnd->proc);
    }
    auto found = hWnd->longs.find(nIndex);
    return found == hWnd->longs.end() ? 0 : found->second;
}

BOOL WINAPI GetClientRect(HWND hWnd, RECT* lpRect) {
    if (Ui().Valid(hWnd) == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    *lpRect = hWnd->clientRect;
    return TRUE;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    const HCURSOR previous = Ui().CurrentCursor();
    Ui().SetCurrentCursor(hCursor);
    return previous;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    const auto id = reinterpret_cast<std::uintptr_t>(lpCursorName);
    if (hInstance == nullptr) {
        if (lpCursorName == IDC_HAND) {
            return Ui().SharedCursor("hand");
        }
        if (lpCursorName == IDC_ARROW) {
            return Ui().SharedCursor("arrow");
        }
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    if (id > 0xFFFF || !Ui().ModuleCursor(hInstance, static_cast<int>(id))) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    // A module's cursor lives with the module and is not the program's to destroy.
    return Ui().SharedCursor(hInstance->path + "#" + std::to_string(id));
}

HICON WINAPI CopyIcon(HICON hIcon) {
    if (hIcon == nullptr || !Ui().IsCursor(hIcon)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return Ui().NewOwnCursor("copy of " + hIcon->name);
}

BOOL WINAPI DestroyCursor(HCURSOR hCursor) {
    if (!Ui().DestroyOwnCursor(hCursor)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetSysColor(int nIndex) {
    return Ui().Color(nIndex);
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    return picce != nullptr && picce->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}
