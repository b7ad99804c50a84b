// Holds a file open with no sharing while it runs a program, as another program that has the
// file open would.   usage: file_holder PATH PROGRAM [ARGUMENTS...]
#include "owned_handle.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: file_holder PATH PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const OwnedHandle file(CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        std::fprintf(stderr, "file_holder: cannot open %s: %lu\n", argv[1], GetLastError());
        return 3;
    }
    std::string commandLine;
    for (int i = 2; i < argc; ++i) {
        commandLine += (i > 2 ? " \"" : "\"") + std::string(argv[i]) + '"';
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
