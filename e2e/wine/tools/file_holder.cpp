// Holds a file open with no sharing while it runs a program, as another program that has the
// file open would; with /write, open for writing with reading and writing shared, as a copy
// still being written onto a share lets others read it.
//   usage: file_holder [/write] PATH PROGRAM [ARGUMENTS...]
#include "owned_handle.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const bool writing = argc > 1 && std::string(argv[1]) == "/write";
    const int path = writing ? 2 : 1;
    if (argc < path + 2) {
        std::fprintf(stderr, "usage: file_holder [/write] PATH PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const OwnedHandle file(CreateFileA(argv[path], writing ? GENERIC_WRITE : GENERIC_READ,
                                       writing ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        std::fprintf(stderr, "file_holder: cannot open %s: %lu\n", argv[path], GetLastError());
        return 3;
    }
    std::string commandLine;
    for (int i = path + 1; i < argc; ++i) {
        commandLine += (i > path + 1 ? " \"" : "\"") + std::string(argv[i]) + '"';
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "file_holder: CreateProcess failed: %lu\n", GetLastError());
        return 4;
    }
    const OwnedHandle thread(process.hThread);
    const OwnedHandle child(process.hProcess);
    WaitForSingleObject(child.get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(child.get(), &exitCode);
    return static_cast<int>(exitCode);
}
