#include "patch/setup_patch.h"

#include "app/exit_codes.h"
#include "app/setup_exe_app.h"
#include "backup/backup_file.h"
#include "backup/restore_file.h"
#include "log/install_log.h"
#include "log/trace_scope.h"
#include "os/path_tests.h"
#include "os/system_folder.h"
#include "patch/shell_exe.h"

#include <cstdio>
#include <vector>

namespace {
constexpr ULONG kStartMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NO_CONSOLE;
} // namespace

int SetupPatch(CSetupExeApp& app, const std::string& patchPath) {
    CTraceScope scope("SetupPatch");
    const bool silent = app.m_nSilentMode != 0;
    std::string commandLine = "/p \"" + patchPath + "\"";
    commandLine +=
        " /l*v \"" +
        GetInstallLogName(app.m_nSilentMode, app.m_strLogFileName, app.m_strRejectedLogFileName) +
        "\"";
    if (app.IsUnattended()) {
        // Nobody may restart the machine under a deployment tool; 3010 tells it one is due.
        commandLine += " REINSTALL=ALL REINSTALLMODE=vemus /qn REBOOT=ReallySuppress MERGEFRM=1";
    } else if (silent) {
        commandLine += " REINSTALL=ALL REINSTALLMODE=vemus /qn MERGEFRM=1";
    } else {
        commandLine += " REINSTALL=ALL REINSTALLMODE=vemus MERGEFRM=1";
    }
    if (!app.m_strDatPath.empty()) {
        commandLine += " DATPATH=\"" + app.m_strDatPath + "\"";
    }
    if (!silent && app.m_lpCmdLine != nullptr && *app.m_lpCmdLine != '\0') {
        commandLine += std::string(" ") + app.m_lpCmdLine;
    }

    const std::string systemFolder = GetSystemFolder();
    if (systemFolder.empty()) {
        // Nothing is moved and nothing started: a bare "msiexec.exe" would run from the current
        // folder, with administrator rights.
        TraceLastError("GetSystemDirectory Err");
        return ExitCodeFailed;
    }
    const std::string program = systemFolder + "msiexec.exe";
    std::vector<tagMovedFile> moved;
    // Without the installer nothing would lay the moved files again.
    if (IsExistingFile(program)) {
        BackUpFile(patchPath, moved);
    }
    const ULONG mask = app.IsUnattended() ? kStartMask | SEE_MASK_FLAG_NO_UI : kStartMask;
    DWORD exitCode = 0;
    const bool ended = ShellExe(program, commandLine, mask, SW_SHOWNORMAL, exitCode);
    RestoreFile(moved, !ended || !IsInstallerSuccess(exitCode));
    return ended ? static_cast<int>(exitCode) : ExitCodeFailed;
}
