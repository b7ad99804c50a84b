#include "readiness/installer_engine_check.h"

#include "settings/dat_file.h"
#include "run/launch_context.h"
#include "log/trace_scope.h"
#include "os/system_folder.h"
#include "readiness/installer_version_dialog.h"
#include "text/mbstring.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kEngineFiles[] = {"msiexec.exe", "msi.dll", "msihnd.dll"};

struct EngineFileVersion {
    std::string full;     // a.b.c.d
    std::string compared; // a.b.c.0
};

// The version of one engine file; both texts stay empty when it cannot be read.
EngineFileVersion ReadEngineFileVersion(const std::string& path) {
    EngineFileVersion version;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return version;
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) {
        return version;
    }
    std::vector<char> block(size, '\0');
    if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data())) {
        return version;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&info), &length) ||
        info == nullptr) {
        return version;
    }
    const unsigned parts[4] = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                               HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
    version.full = text;
    TraceLine(path + "：" + version.full);
    std::snprintf(text, sizeof text, "%u.%u.%u.0", parts[0], parts[1], parts[2]);
    version.compared = text;
    return version;
}

} // namespace

EngineCheck CheckInstallerEngine(const tagLaunchContext& context) {
    const std::string folder = GetSystemFolder();
    if (folder.empty()) {
        return EngineCheck::GoOn;
    }
    CTraceScope unnamed("");
    CTraceScope scope("Check DllVer");

    std::vector<EngineFileVersion> versions;
    for (const char* file : kEngineFiles) {
        versions.push_back(ReadEngineFileVersion(folder + file));
    }
    bool agree = true;
    for (const EngineFileVersion& version : versions) {
        if (text::MakeUpper(version.compared) != text::MakeUpper(versions[0].compared)) {
            agree = false;
        }
    }
    if (agree) {
        return EngineCheck::GoOn;
    }

    TraceLine("Dll Ver Compare Fail");
    if (context.IsUnattended()) {
        // Nobody to ask: going on with a broken engine is the riskier answer.
        TraceLine("Install END");
        return EngineCheck::NobodyAsked;
    }
    CWindowsInstallerVerInfo dialog;
    for (std::size_t index = 0; index < versions.size(); ++index) {
        dialog.m_astrFileNames.push_back(kEngineFiles[index]);
        dialog.m_astrFileVersions.push_back(versions[index].full);
    }
    dialog.m_strLinkAddress = GetInstallDatUrl(context);
    const INT_PTR answer = dialog.DoModal();
    if (answer == IDOK) {
        return EngineCheck::GoOn;
    }
    if (answer == -1) {
        TraceLastError("DialogBoxParam Err");
    }
    TraceLine("Install END");
    return answer == IDCANCEL ? EngineCheck::Declined : EngineCheck::NobodyAsked;
}
