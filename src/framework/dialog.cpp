#include "framework/dialog.h"

#include "framework/win_app.h"

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.m_hWnd == nullptr) {
        control.SubclassDlgItem(id, pDX->m_pDlgWnd);
    }
}

CDialog::CDialog(UINT templateId) : m_nIDTemplate(templateId) {}

INT_PTR CDialog::DoModal() {
    // The list view class is registered by the common controls library.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp* app = AfxGetApp();
    const INT_PTR result = DialogBoxParamA(app != nullptr ? app->m_hInstance : nullptr,
                                           MAKEINTRESOURCEA(m_nIDTemplate), nullptr,
                                           &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::OnInitDialog() {
    CDataExchange exchange{this};
    DoDataExchange(&exchange);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = window;
        return dialog->OnInitDialog();
    }
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(window, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        // Reflected to the control, which may draw itself.
        if (CWnd* control = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam))) {
            return reinterpret_cast<INT_PTR>(
                control->CtlColor(reinterpret_cast<HDC>(wParam), WM_CTLCOLORSTATIC));
        }
        return FALSE;
    default:
        return FALSE;
    }
}
