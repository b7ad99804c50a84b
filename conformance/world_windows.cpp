// The real world: Windows, or Wine, which says so through ntdll's wine_get_version.
#include "world.h"

#include <cstdlib>

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

#include "sample_packages.h"

namespace conformance {

std::string SamplePackagesFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    folder = folder.substr(0, folder.find_last_of('\\') + 1);
    return folder + "packages\\";
}

std::string ChangedSignedPackage(const std::string& /*folder*/) {
    const char* given = std::getenv("CONFORMANCE_CHANGED_SIGNED_MSP");
    return given == nullptr ? "" : given;
}

} // namespace conformance
