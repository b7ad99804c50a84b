// A modal dialog from a resource template. Data exchange binds control ids to members by
// subclassing; Yes (IDOK) and No (IDCANCEL, also Esc) end it with codes 1 and 2; the colour
// message of a child control is reflected to the control's object.
#pragma once

#include "framework/wnd.h"

class CDialog;

struct CDataExchange {
    CDialog* m_pDlgWnd;
};

// Binds control `id` of the dialog to `control`, once.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId);

    // Shows the dialog (no owner window) and returns how it ended: IDOK, IDCANCEL, or -1 when
    // it could not open.
    virtual INT_PTR DoModal();

protected:
    virtual void DoDataExchange(CDataExchange* /*pDX*/) {}
    // Runs the data exchange; TRUE lets the system give the focus to the first tab stop.
    virtual BOOL OnInitDialog();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
};
