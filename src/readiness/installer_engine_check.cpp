#include "readiness/installer_engine_check.h"

#include "settings/dat_file.h"
#include "run/launch_context.h"
#include "log/trace_scope.h"
#include "os/system_folder.h"
#include "readiness/installer_version_dialog.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kEngineFiles[] = {"msiexec.exe", "msi.dll", "msihnd.dll"};

// The version "a.b.c.d" of one engine file; "" when it cannot be read.
std::string ReadEngineFileVersion(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return "";
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) {
        return "";
    }
    std::vector<char> block(size, '\0');
    if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data())) {
        return "";
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&info), &length) ||
        info == nullptr) {
        return "";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(info->dwFileVersionMS),
                  LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                  LOWORD(info->dwFileVersionLS));
    TraceLine(path + "：" + text);
    return text;
}

// The first three numbers of a version: the files of one engine may differ in the fourth.
std::string WithoutRevision(const std::string& version) {
    return version.substr(0, version.rfind('.'));
}

} // namespace

EngineCheck CheckInstallerEngine(const tagLaunchContext& context) {
    const std::string folder = GetSystemFolder();
    if (folder.empty()) {
        return EngineCheck::GoOn;
    }
    CTraceScope unnamed("");
    CTraceScope scope("Check DllVer");

    std::vector<std::pair<std::string, std::string>> files; // name, version
    for (const char* file : kEngineFiles) {
        files.emplace_back(file, ReadEngineFileVersion(folder + file));
    }
    if (std::all_of(files.begin(), files.end(), [&](const auto& file) {
            return WithoutRevision(file.second) == WithoutRevision(files[0].second);
        })) {
        return EngineCheck::GoOn;
    }

    TraceLine("Dll Ver Compare Fail");
    if (context.IsUnattended()) {
        // Nobody to ask: going on with a broken engine is the riskier answer.
        TraceLine("Install END");
        return EngineCheck::NobodyAsked;
    }
    CWindowsInstallerVerInfo dialog;
    dialog.m_aFiles = files;
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
