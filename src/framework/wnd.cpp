#include "framework/wnd.h"

#include <map>
#include <vector>

namespace {

// Windows bound to objects by subclassing; one thread, so no lock.
std::map<HWND, CWnd*>& PermanentMap() {
    static std::map<HWND, CWnd*> map;
    return map;
}

} // namespace

bool CWnd::SubclassDlgItem(int id, CWnd* parent) {
    HWND control = GetDlgItem(parent->m_hWnd, id);
    if (control == nullptr) {
        return false;
    }
    m_hWnd = control;
    PermanentMap()[control] = this;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return true;
}

void CWnd::Detach() {
    if (m_hWnd == nullptr) {
        return;
    }
    if (m_pfnSuper != nullptr) {
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    PermanentMap().erase(m_hWnd);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    auto found = PermanentMap().find(window);
    return found == PermanentMap().end() ? nullptr : found->second;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = FromHandlePermanent(window);
    if (object == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window is going: give it back its own procedure and forget it.
        const WNDPROC super = object->m_pfnSuper;
        object->Detach();
        return CallWindowProcA(super, window, message, wParam, lParam);
    }
    return object->WindowProc(message, wParam, lParam);
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(const std::string& text) {
    ::SetWindowTextA(m_hWnd, text.c_str());
}

std::string CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    return buffer.data();
}

int CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width) {
    LVCOLUMNA info{};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = format;
    info.cx = width;
    info.pszText = const_cast<LPSTR>(heading.c_str());
    info.iSubItem = column;
    return static_cast<int>(SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                                         reinterpret_cast<LPARAM>(&info)));
}

int CListCtrl::InsertItem(int item, const std::string& text) {
    LVITEMA info{};
    info.mask = LVIF_TEXT;
    info.iItem = item;
    info.pszText = const_cast<LPSTR>(text.c_str());
    return static_cast<int>(
        SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&info)));
}

bool CListCtrl::SetItemText(int item, int subItem, const std::string& text) {
    LVITEMA info{};
    info.iSubItem = subItem;
    info.pszText = const_cast<LPSTR>(text.c_str());
    return SendMessageA(m_hWnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(&info)) != 0;
}
