// Simulated shell calls: open requests (recorded, nothing runs).
#include "os/sim/machine.h"

#include <cstring>

HINSTANCE WINAPI ShellExecuteA(HWND /*hwnd*/, LPCSTR lpOperation, LPCSTR lpFile,
                               LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
    auto optional = [](LPCSTR text) {
        return text == nullptr ? std::nullopt : std::optional<std::string>(text);
    };
    sim::Machine::Current().Ui().RecordShellRequest(
        {optional(lpOperation), lpFile == nullptr ? "" : lpFile, optional(lpParameters),
         optional(lpDirectory), nShowCmd});
    // Above 32 means success.
    return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));
}
