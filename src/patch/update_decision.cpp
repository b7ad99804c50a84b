#include "patch/update_decision.h"

#include "app/exit_codes.h"
#include "app/setup_exe_app.h"
#include "app/user_message.h"
#include "log/trace_scope.h"
#include "msiquery/installed_target.h"
#include "msiquery/msi_version.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_queries.h"
#include "msiquery/patch_summary.h"
#include "os/path_tests.h"
#include "os/scoped_handle.h"
#include "patch/edition_patch_list.h"
#include "readiness/installer_engine_check.h"
#include "text/mbstring.h"

#include <algorithm>
#include <vector>

namespace {

// The first file the search of MSP\*.msp yields; "" when every match is a folder.
bool FindProbePackage(const std::string& patchFolder, std::string& probe) {
    WIN32_FIND_DATAA found{};
    CFindHandle find(FindFirstFileA((patchFolder + "*.msp").c_str(), &found));
    if (!find.IsValid()) {
        return false;
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == ".." || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            continue;
        }
        probe = patchFolder + name;
        break;
    } while (FindNextFileA(find.Get(), &found));
    return true;
}

// The box's trace code is written before its text is made, as the run always did.
tagUpdateDecision Decide(int traceCode, UpdateBox box, int exitCode) {
    TraceCode(traceCode);
    tagUpdateDecision decision;
    decision.nTraceCode = traceCode;
    decision.nBox = box;
    decision.nExitCode = exitCode;
    return decision;
}

tagUpdateDecision LaunchFailure(int traceCode) {
    tagUpdateDecision decision = Decide(traceCode, UpdateBoxLaunchFailure, ExitCodeMediaUnusable);
    decision.strCaption = kProductCaption;
    decision.strText = kLaunchFailureText;
    return decision;
}

tagUpdateDecision NoTarget(int traceCode, const tagUpdateProbe& probe) {
    tagUpdateDecision decision = Decide(traceCode, UpdateBoxNoTarget, ExitCodeNoTarget);
    decision.strCaption = probe.strCaption;
    decision.strText = "アップデート対象の製品が存在しません。\n\nセットアップを終了します。\n";
    return decision;
}

tagUpdateDecision AlreadyApplied(int traceCode, const tagUpdateProbe& probe) {
    tagUpdateDecision decision = Decide(traceCode, UpdateBoxAlreadyApplied, ExitCodeSuccess);
    const char* sentence =
        IsPreVistaWindows() ? "\nはすでに適用済です。\n\n" : "はすでに適用済です。\n\n";
    decision.strCaption = probe.strCaption;
    decision.strText = probe.strTitle + sentence + "セットアップを終了します。\n";
    return decision;
}

tagUpdateDecision Setup(const tagUpdateProbe& probe) {
    tagUpdateDecision decision = Decide(UpdateTraceApply, UpdateBoxSetup, ExitCodeSuccess);
    const char* sentence =
        IsPreVistaWindows() ? "\nのセットアップを行います。\n\n" : "のセットアップを行います。\n\n";
    decision.strCaption = probe.strCaption;
    decision.strText = probe.strTitle + sentence;
    return decision;
}

} // namespace

bool CRegisteredProduct::GetLocalPackage(const std::string& targetList, std::string& localPackage) {
    return GetMSIProductInfo(ChooseInstalledTarget(targetList), "LocalPackage", localPackage);
}

bool CRegisteredProduct::GetHighestAppliedBuild(const std::string& productCode,
                                                DWORD& highestBuild) {
    std::vector<std::string> patchCodes;
    if (!GetPatchPackageCode(productCode, patchCodes)) {
        return false;
    }
    highestBuild = 0;
    for (const std::string& patchCode : patchCodes) {
        highestBuild = std::max(highestBuild, GetPCMspBuildVersion(patchCode));
    }
    return true;
}

tagUpdateProbe FindUpdateProbe(const CSetupExeApp& app) {
    tagUpdateProbe probe;
    const std::string patchFolder = app.m_strExeDir + "MSP\\";
    if (!IsExistingFolder(patchFolder)) {
        probe.nTraceCode = UpdateTraceNoPatchFolder;
        return probe;
    }
    if (!FindProbePackage(patchFolder, probe.strPath)) {
        probe.nTraceCode = UpdateTraceNoPatchFile;
        return probe;
    }
    std::string patchCode;
    if (!GetMspTargetID(probe.strPath, &probe.strTarget, &patchCode, &probe.strTitle)) {
        probe.nTraceCode = UpdateTraceNoTarget;
        return probe;
    }
    const std::size_t build = text::FindString(probe.strTitle, " Build");
    probe.strCaption = build == text::npos ? "" : probe.strTitle.substr(0, build);
    return probe;
}

int GetMSPInstMode(CSetupExeApp& app, CInstalledProduct& product, std::string& chosenPatchPath,
                   const std::string& localPackage) {
    if (!ChkInstall(app, localPackage, chosenPatchPath)) {
        return InstModeNotListed;
    }
    std::string versionText;
    DWORD chosenBuild = 0;
    if (!GetMspBuildVersion(chosenPatchPath, versionText, chosenBuild)) {
        return InstModeError;
    }
    std::string productCode;
    if (!GetMSIProductCode(localPackage, productCode)) {
        return InstModeError;
    }
    DWORD highest = 0;
    if (!product.GetHighestAppliedBuild(productCode, highest)) {
        return InstModeApply;
    }
    if (chosenBuild == highest) {
        return InstModeSameBuild;
    }
    return chosenBuild > highest ? InstModeApply : InstModeOlderBuild;
}

bool GetInstalledVersions(CInstalledProduct& product, const std::string& localPackage,
                          DWORD& productVersion, DWORD& highestBuild) {
    productVersion = 0;
    highestBuild = 0;
    std::string versionText;
    if (!GetMSIProperty("ProductVersion", localPackage, versionText)) {
        return false;
    }
    productVersion = GetMSIVersion(versionText);
    std::string productCode;
    if (!GetMSIProductCode(localPackage, productCode)) {
        return true;
    }
    product.GetHighestAppliedBuild(productCode, highestBuild);
    return true;
}

tagUpdateDecision DecideUpdate(CSetupExeApp& app, CInstalledProduct& product) {
    const tagUpdateProbe probe = FindUpdateProbe(app);
    if (probe.nTraceCode != 0) {
        return LaunchFailure(probe.nTraceCode);
    }
    std::string localPackage;
    if (!product.GetLocalPackage(probe.strTarget, localPackage)) {
        return NoTarget(UpdateTraceNotInstalled, probe);
    }
    std::string chosenPatchPath;
    const int mode = GetMSPInstMode(app, product, chosenPatchPath, localPackage);
    TraceLine("GetMSPInstMode");
    TraceCode(mode);

    tagUpdateDecision decision;
    if (mode == InstModeSameBuild || mode == InstModeOlderBuild) {
        decision = AlreadyApplied(UpdateTraceAlreadyApplied, probe);
    } else if (mode == InstModeApply) {
        decision = Setup(probe);
    } else if (mode < 0) {
        decision = NoTarget(UpdateTraceNotApplicable, probe);
    } else {
        // Not listed: compare the probe package with what is installed.
        DWORD productVersion = 0;
        DWORD highestBuild = 0;
        std::string versionText;
        DWORD probeBuild = 0;
        if (GetInstalledVersions(product, localPackage, productVersion, highestBuild) &&
            GetMspBuildVersion(probe.strPath, versionText, probeBuild) &&
            (probeBuild <= productVersion || probeBuild <= highestBuild)) {
            decision = AlreadyApplied(UpdateTraceNotNewer, probe);
        } else {
            decision = NoTarget(UpdateTraceNotApplicable, probe);
        }
    }
    decision.nInstMode = mode;
    decision.strPatchPath = chosenPatchPath;
    return decision;
}
