// Ends every running process of an image name with the given exit code, as Windows' "taskkill
// /f" does (with 1). Under Wine, "taskkill /f" and killing the Unix process both leave exit
// code 0, which a waiting parent cannot tell from success.
//   usage: end_process IMAGE_NAME EXIT_CODE   (exit code 0 when at least one was ended)
#include "owned_handle.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: end_process IMAGE_NAME EXIT_CODE\n");
        return 2;
    }
    const auto exitCode = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));
    const OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int ended = 0;
    for (BOOL more = snapshot.valid() && Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        if (lstrcmpiA(entry.szExeFile, argv[1]) != 0) {
            continue;
        }
        const OwnedHandle process(
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process.valid() && TerminateProcess(process.get(), exitCode)) {
            WaitForSingleObject(process.get(), 5000);
            ++ended;
        }
    }
    std::printf("end_process: %d process(es) of %s ended\n", ended, argv[1]);
    return ended > 0 ? 0 : 1;
}
