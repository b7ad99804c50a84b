#include "readiness/installer_engine_check.h"

#include "app/dat_file.h"
#include "app/exit_codes.h"
#include "app/setup_exe_app.h"
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

bool CheckInstallerEngine(CSetupExeApp& app, int& exitCode) {
    const std::string folder = GetSystemFolder();
    if (folder.empty()) {
        return false;
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
        return false;
    }

    TraceLine("Dll Ver Compare Fail");
    if (app.IsUnattended()) {
        // Nobody to ask: going on with a broken engine is the riskier answer.
        TraceLine("Install END");
        exitCode = ExitCodeFailed;
        return true;
    }
    CWindowsInstallerVerInfo dialog;
    for (std::size_t index = 0; index < versions.size(); ++index) {
        dialog.m_astrFileNames.push_back(kEngineFiles[index]);
        dialog.m_astrFileVersions.push_back(versions[index].full);
    }
    dialog.m_strLinkAddress = GetInstallDatUrl(app);
    const INT_PTR answer = dialog.DoModal();
    if (answer == IDOK) {
        return false;
    }
    if (answer == -1) {
        TraceLastError("DialogBoxParam Err");
    }
    TraceLine("Install END");
    exitCode = answer == IDCANCEL ? ExitCodeUserCancelled : ExitCodeFailed;
    return true;
}

bool CWindowsVersionTest::IsPreVista() {
    if (!m_bTested) {
        m_bTested = true;
        OSVERSIONINFOEXA version{};
        version.dwOSVersionInfoSize = sizeof version;
        version.dwMajorVersion = 6;
        version.dwMinorVersion = 0;
        version.wServicePackMajor = 0;
        DWORDLONG mask = 0;
        mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
        mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
        mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
        m_nResult = VerifyVersionInfoA(
            &version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask);
    }
    return m_nResult == 0;
}

CWindowsVersionTest& ProcessWindowsVersionTest() {
    static CWindowsVersionTest test;
    return test;
}

bool IsPreVistaWindows() {
    return ProcessWindowsVersionTest().IsPreVista();
}
