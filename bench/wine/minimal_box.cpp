// The yardstick of the start-up benchmark: a Windows program that does nothing but show one
// message box, built like Setup.exe (static runtime, GUI subsystem) and importing user32 the
// plain way. Its text is Japanese too, so that both boxes need the same fonts.
#include <windows.h>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    MessageBoxA(nullptr, "メッセージボックスを出すだけのプログラムです。", "Minimal",
                MB_OK | MB_ICONWARNING);
    return 0;
}
