#include "patch/setup_patch.h"

#include "backup/backup_file.h"
#include "backup/restore_file.h"
#include "log/install_log.h"
#include "log/trace_scope.h"
#include "os/path_tests.h"
#include "os/system_folder.h"
#include "patch/patch_trust.h"
#include "patch/shell_exe.h"
#include "patch/update_decision.h"
#include "run/exit_codes.h"
#include "run/launch_context.h"
#include "run/user_message.h"

namespace {
constexpr ULONG kStartMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NO_CONSOLE;
} // namespace

std::string BuildInstallerCommandLine(const tagLaunchContext& context, const std::string& patchPath,
                                      const std::string& logPath) {
    std::string commandLine = "/p \"" + patchPath + "\" /l*v \"" + logPath + "\"";
    if (context.IsUnattended()) {
        // Nobody may restart the machine under a deployment tool; 3010 tells it one is due.
        commandLine += " REINSTALL=ALL REINSTALLMODE=vemus /qn REBOOT=ReallySuppress MERGEFRM=1";
    } else if (context.nSilentMode != 0) {
        commandLine += " REINSTALL=ALL REINSTALLMODE=vemus /qn MERGEFRM=1";
    } else {
        commandLine += " REINSTALL=ALL REINSTALLMODE=vemus MERGEFRM=1";
    }
    if (!context.strDatPath.empty()) {
        commandLine += " DATPATH=\"" + context.strDatPath + "\"";
    }
    if (context.nSilentMode == 0 && !context.strCmdLine.empty()) {
        commandLine += " " + context.strCmdLine;
    }
    return commandLine;
}

int SetupPatch(const tagLaunchContext& context, const tagUpdateDecision& decision) {
    CTraceScope scope("SetupPatch");
    const std::string& patchPath = decision.listing.strPatchPath;
    const std::string commandLine =
        BuildInstallerCommandLine(context, patchPath,
                                  GetInstallLogName(context.nSilentMode, context.strLogFileName,
                                                    context.strRejectedLogFileName));

    const std::string systemFolder = GetSystemFolder();
    if (systemFolder.empty()) {
        // Nothing is moved and nothing started: a bare "msiexec.exe" would run from the current
        // folder, with administrator rights.
        TraceLastError("GetSystemDirectory Err");
        return ExitCodeFailed;
    }
    // Nothing is moved and nothing started for a patch its publisher did not sign. A checked
    // patch stays held until the installer has ended.
    CFileHandle heldPatch;
    if (CheckPatchTrust(context, patchPath, heldPatch) == PatchTrust::Rejected) {
        ShowWarningBox(context, kProductCaption, kPatchRejectedText);
        return ExitCodePatchRejected;
    }
    const std::string program = systemFolder + "msiexec.exe";
    // Whatever way this step is left, the files moved aside go back by the restore rules.
    CMovedFiles moved;
    // Without the installer nothing would lay the moved files again.
    if (IsExistingFile(program)) {
        BackUpFile(patchPath, decision.strProductCode, moved.Journal(), moved.Files());
    }
    const ULONG mask = context.IsUnattended() ? kStartMask | SEE_MASK_FLAG_NO_UI : kStartMask;
    DWORD exitCode = 0;
    if (!ShellExe(program, commandLine, mask, SW_SHOWNORMAL, exitCode)) {
        return ExitCodeFailed;
    }
    if (IsInstallerSuccess(exitCode)) {
        moved.SetInstallerSucceeded();
    }
    return static_cast<int>(exitCode);
}
