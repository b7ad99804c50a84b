// The process entry of the Windows program. Built into Setup.exe only.
#include "framework/win_app.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR lpCmdLine,
                   int /*nCmdShow*/) {
    HardenDllSearch();
    return AfxWinMain(hInstance, lpCmdLine);
}
