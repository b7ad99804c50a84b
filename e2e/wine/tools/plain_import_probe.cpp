// The control of the DLL-planting test: imports version.dll and msi.dll the plain way, which
// makes the loader look in the program's own folder first. Under a native-first Wine setting
// it must load the planted copies; if it does not, the test setting proves nothing.
#include <windows.h>
#include <msi.h>

#include <cstdio>

int main() {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA("C:\\windows\\system32\\kernel32.dll", &handle);
    const UINT closed = MsiCloseHandle(0);
    std::printf("version info size %lu, MsiCloseHandle %u\n", size, closed);
    return 0;
}
