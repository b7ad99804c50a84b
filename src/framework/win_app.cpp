#include "framework/win_app.h"

namespace {
CWinApp* g_pApp = nullptr;
char g_szEmptyCmdLine[] = "";
} // namespace

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) {
    if (g_pApp == nullptr) {
        g_pApp = this;
    }
}

CWinApp::~CWinApp() {
    if (g_pApp == this) {
        g_pApp = nullptr;
    }
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine != nullptr ? lpCmdLine : g_szEmptyCmdLine;
    // There is no main window and no message loop: the work is done inside InitInstance, and
    // whichever way it ends, the exit processing follows.
    app->InitInstance();
    return app->ExitInstance();
}
