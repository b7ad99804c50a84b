#include "patch/setup_patch.h"

#include "app/setup_exe_app.h"
#include "backup/backup_file.h"
#include "log/install_log.h"
#include "log/trace_scope.h"
#include "patch/shell_exe.h"

#include <cstdio>

namespace {
constexpr ULONG kStartMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NO_CONSOLE;
} // namespace

std::string GetSystemFolderPath(const std::string& fileName) {
    char folder[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_SYSTEM, nullptr, SHGFP_TYPE_CURRENT, folder) < 0) {
        return "";
    }
    return std::string(folder) + "\\" + fileName;
}

void SetupPatch(CSetupExeApp& app, const std::string& patchPath) {
    CTraceScope scope("SetupPatch");
    std::string commandLine = "/p \"" + patchPath + "\"";
    commandLine += " /l*v \"" + GetInstallLogName(app.m_nSilentMode, app.m_strLogFileName) + "\"";
    if (app.m_nSilentMode == 1) {
        commandLine += " REINSTALL=ALL REINSTALLMODE=vemus /qn MERGEFRM=1";
    } else {
        commandLine += " REINSTALL=ALL REINSTALLMODE=vemus MERGEFRM=1";
    }
    if (!app.m_strDatPath.empty()) {
        commandLine += " DATPATH=\"" + app.m_strDatPath + "\"";
    }
    if (app.m_nSilentMode != 1 && app.m_lpCmdLine != nullptr && *app.m_lpCmdLine != '\0') {
        commandLine += std::string(" ") + app.m_lpCmdLine;
    }

    BackUpFile(patchPath);

    const std::string program = GetSystemFolderPath("") + "msiexec.exe";
    ShellExe(program, commandLine, kStartMask, SW_SHOWNORMAL);
}
