#include "patch/update_decision.h"

#include "run/exit_codes.h"
#include "run/user_message.h"
#include "log/trace_scope.h"
#include "run/launch_context.h"
#include "msiquery/installed_target.h"
#include "msiquery/msi_version.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_queries.h"
#include "msiquery/patch_summary.h"
#include "os/path_tests.h"
#include "os/folder_search.h"
#include "os/windows_version.h"
#include "patch/edition_patch_list.h"
#include "text/mbstring.h"

#include <algorithm>
#include <vector>

namespace {

// The first file the search of MSP\*.msp yields; "" when every match is a folder.
bool FindProbePackage(const std::string& patchFolder, std::string& probe) {
    return ForEachFile(patchFolder + "*.msp", [&](const WIN32_FIND_DATAA& found) {
        probe = patchFolder + found.cFileName;
        return false;
    });
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

// Compares the patch the settings list for the installed package with the patches applied;
// the listing and the patch's build go into `decision` as they are read.
int GetMSPInstMode(const tagLaunchContext& context, CInstalledProduct& product,
                   const std::string& localPackage, tagUpdateDecision& decision) {
    decision.listing = ChkInstall(context, localPackage);
    if (!decision.listing.bFound) {
        return InstModeNotListed;
    }
    std::string versionText;
    std::string productCode;
    if (!GetMspBuildVersion(decision.listing.strPatchPath, versionText, decision.dwPatchBuild) ||
        !GetMSIProductCode(localPackage, productCode)) {
        return InstModeError;
    }
    DWORD highest = 0;
    if (!product.GetHighestAppliedBuild(productCode, highest)) {
        return InstModeApply;
    }
    if (decision.dwPatchBuild == highest) {
        return InstModeSameBuild;
    }
    return decision.dwPatchBuild > highest ? InstModeApply : InstModeOlderBuild;
}

// What is installed, for a patch that the settings do not list: the higher of the product
// version and the highest build among the applied patches (0 when they cannot be listed);
// nothing when the product version cannot be read.
std::optional<DWORD> GetInstalledVersions(CInstalledProduct& product,
                                          const std::string& localPackage) {
    std::string versionText;
    if (!GetMSIProperty("ProductVersion", localPackage, versionText)) {
        return std::nullopt;
    }
    const DWORD productVersion = GetMSIVersion(versionText);
    std::string productCode;
    DWORD highestBuild = 0;
    if (GetMSIProductCode(localPackage, productCode)) {
        (void)product.GetHighestAppliedBuild(productCode, highestBuild);
    }
    return std::max(productVersion, highestBuild);
}

} // namespace

bool CRegisteredProduct::FindInstalled(const std::string& targetList, std::string& productCode,
                                       std::string& localPackage) {
    const std::string installed = ChooseInstalledTarget(targetList);
    if (!GetMSIProductInfo(installed, "LocalPackage", localPackage)) {
        return false;
    }
    productCode = installed;
    return true;
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

tagUpdateProbe FindUpdateProbe(const tagLaunchContext& context) {
    tagUpdateProbe probe;
    const std::string patchFolder = context.strExeDir + "MSP\\";
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

tagUpdateDecision DecideUpdate(const tagLaunchContext& context, CInstalledProduct& product) {
    const tagUpdateProbe probe = FindUpdateProbe(context);
    if (probe.nTraceCode != 0) {
        return LaunchFailure(probe.nTraceCode);
    }
    std::string productCode;
    std::string localPackage;
    if (!product.FindInstalled(probe.strTarget, productCode, localPackage)) {
        return NoTarget(UpdateTraceNotInstalled, probe);
    }
    tagUpdateDecision learned;
    const int mode = GetMSPInstMode(context, product, localPackage, learned);
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
        std::string versionText;
        DWORD probeBuild = 0;
        const std::optional<DWORD> installed = GetInstalledVersions(product, localPackage);
        if (installed && GetMspBuildVersion(probe.strPath, versionText, probeBuild) &&
            probeBuild <= *installed) {
            decision = AlreadyApplied(UpdateTraceNotNewer, probe);
        } else {
            decision = NoTarget(UpdateTraceNotApplicable, probe);
        }
    }
    decision.nInstMode = mode;
    decision.strProductCode = productCode;
    decision.listing = learned.listing;
    decision.dwPatchBuild = learned.dwPatchBuild;
    return decision;
}
