#include "readiness/href_static.h"

#include "log/trace_log.h"
#include "readiness/link_address.h"

#include <string>

namespace {

constexpr COLORREF kLinkColor = 0x00FF0000; // blue
constexpr int kHelpHandCursor = 106;

} // namespace

CHrefStatic::CHrefStatic() {
    m_hBackground = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5) {
        m_hCursor = LoadCursorA(nullptr, IDC_HAND);
        return;
    }
    // Before Windows 2000 there is no system hand cursor; the help program has one.
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string helpProgram = std::string(windows) + "\\winhlp32.exe";
    if (HMODULE module = LoadLibraryA(helpProgram.c_str())) {
        m_hCursor = CopyIcon(LoadCursorA(module, MAKEINTRESOURCEA(kHelpHandCursor)));
        m_bOwnCursor = true;
        FreeLibrary(module);
    } else {
        m_hCursor = LoadCursorA(nullptr, IDC_ARROW);
    }
}

CHrefStatic::~CHrefStatic() {
    if (m_hLinkFont != nullptr) {
        DeleteObject(m_hLinkFont);
    }
    DeleteObject(m_hBackground);
    if (m_bOwnCursor && m_hCursor != nullptr) {
        DestroyCursor(m_hCursor);
    }
}

HBRUSH CHrefStatic::CtlColor(HDC dc, UINT /*ctlColor*/) {
    if (m_hLinkFont == nullptr) {
        LOGFONTA logFont{};
        auto font = reinterpret_cast<HFONT>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
        GetObjectA(font, sizeof logFont, &logFont);
        logFont.lfUnderline = 1;
        m_hLinkFont = CreateFontIndirectA(&logFont);
    }
    SelectObject(dc, m_hLinkFont);
    SetTextColor(dc, kLinkColor);
    SetBkMode(dc, TRANSPARENT);
    return m_hBackground;
}

LRESULT CHrefStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR) {
        SetCursor(m_hCursor);
        return TRUE;
    }
    if (message == WM_LBUTTONDOWN) {
        OpenLink();
    }
    return Default(message, wParam, lParam);
}

void CHrefStatic::OpenLink() {
    const std::string text = GetWindowText();
    const tagLinkAddress link = GetLinkAddress(text);
    if (link.strAddress.empty()) {
        TraceLine("Link Err：" + text);
        return;
    }
    ShellExecuteA(nullptr, link.bOpenVerb ? "open" : nullptr, link.strAddress.c_str(), nullptr,
                  nullptr, SW_SHOWNORMAL);
}
