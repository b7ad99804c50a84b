// A stand-in for a DLL an attacker plants beside a setup program. Loaded, it leaves a marker
// file "<its own path>.loaded" and does nothing else. It exports the entry points the control
// program imports, so that the loader accepts it in place of version.dll or msi.dll.
#include <windows.h>

#include <string>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
        if (length != 0 && length < MAX_PATH) {
            const std::string marker = std::string(path) + ".loaded";
            HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
            }
        }
    }
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR, LPDWORD handle) {
    if (handle != nullptr) {
        *handle = 0;
    }
    return 0;
}

extern "C" __declspec(dllexport) UINT WINAPI MsiCloseHandle(DWORD) {
    return 0;
}
