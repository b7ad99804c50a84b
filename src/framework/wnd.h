// Window objects attached to existing windows. A CWnd is bound to a control of a dialog by
// subclassing: the control's window procedure is replaced by the framework's, which hands
// every message to the object's WindowProc and, by default, on to the original procedure.
#pragma once

#include "os/win32api.h"

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() { Detach(); }
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Attaches this object to control `id` of `parent`; false when there is no such control.
    bool SubclassDlgItem(int id, CWnd* parent);
    // The object attached to a window by subclassing, or null.
    static CWnd* FromHandlePermanent(HWND window);

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;

    // Colour message of a child control, reflected by the parent to the control itself. A
    // brush means "handled"; null lets the parent's default apply.
    virtual HBRUSH CtlColor(HDC /*dc*/, UINT /*ctlColor*/) { return nullptr; }

    HWND m_hWnd = nullptr;

protected:
    // Every message of a subclassed window; the default passes it to the original procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return Default(message, wParam, lParam);
    }
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    WNDPROC m_pfnSuper = nullptr;
};

class CStatic : public CWnd {};

// A report-style list view.
class CListCtrl : public CWnd {
public:
    int InsertColumn(int column, const std::string& heading, int format, int width);
    int InsertItem(int item, const std::string& text);
    bool SetItemText(int item, int subItem, const std::string& text);
};
