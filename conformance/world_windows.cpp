// The real world: Windows, or Wine, which says so through ntdll's wine_get_version.
#include "world.h"

#include "os/win32api.h"

namespace conformance {

bool WorldIsWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

const char* WorldName() {
    return WorldIsWine() ? "wine" : "windows";
}

void AddWorldEnvironment() {}

} // namespace conformance
