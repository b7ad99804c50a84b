// Holds a global atom while it runs a program, as the product's own installer holds its atom
// while it runs.   usage: atom_holder ATOM_NAME PROGRAM [ARGUMENTS...]
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: atom_holder ATOM_NAME PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const ATOM atom = GlobalAddAtomA(argv[1]);
    if (atom == 0) {
        std::fprintf(stderr, "atom_holder: GlobalAddAtom failed: %lu\n", GetLastError());
        return 3;
    }
    std::string commandLine;
    for (int i = 2; i < argc; ++i) {
        if (i > 2) {
            commandLine += ' ';
        }
        commandLine += '"' + std::string(argv[i]) + '"';
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    int result = 4;
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        result = static_cast<int>(exitCode);
    } else {
        std::fprintf(stderr, "atom_holder: CreateProcess failed: %lu\n", GetLastError());
    }
    GlobalDeleteAtom(atom);
    return result;
}
