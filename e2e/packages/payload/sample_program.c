/* The sample product's programs: they only have to exist and carry a version resource. */
#include <windows.h>

#ifdef SAMPLE_DLL
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
#else
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
    (void)instance;
    (void)previous;
    (void)line;
    (void)show;
    return 0;
}
#endif
