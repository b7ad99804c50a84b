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

// The decision's one box, its text made after its trace code is written, as the run always did.
// Before Vista the sentence after the patch's title starts on a line of its own.
tagUpdateDecision Decide(tagUpdateDecision& decision, int traceCode, UpdateBox box,
                         const tagUpdateProbe& probe) {
    TraceCode(traceCode);
    decision.nTraceCode = traceCode;
    decision.nBox = box;
    decision.nExitCode = ExitCodeSuccess;
    decision.strCaption = probe.strCaption;
    const auto title = [&] { return probe.strTitle + (IsPreVistaWindows() ? "\n" : ""); };
    switch (box) {
    case UpdateBoxLaunchFailure:
        decision.nExitCode = ExitCodeMediaUnusable;
        decision.strCaption = kProductCaption;
        decision.strText = kLaunchFailureText;
        break;
    case UpdateBoxNoTarget:
        decision.nExitCode = ExitCodeNoTarget;
        decision.strText = "アップデート対象の製品が存在しません。\n\nセットアップを終了します。\n";
        break;
    case UpdateBoxAlreadyApplied:
        decision.strText = title() + "はすでに適用済です。\n\nセットアップを終了します。\n";
        break;
    case UpdateBoxSetup:
        decision.strText = title() + "のセットアップを行います。\n\n";
        break;
    }
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
    if (!product.GetHighestAppliedBuild(productCode, highest) || decision.dwPatchBuild > highest) {
        return InstModeApply;
    }
    return decision.dwPatchBuild == highest ? InstModeSameBuild : InstModeOlderBuild;
}

// For a patch that the settings do not list: whether the probe package is no newer than what is
// installed, the higher of the product version and the highest build among the applied patches
// (0 when they cannot be listed). False when the product version or the probe's build cannot be
// read.
bool IsProbeNoNewer(CInstalledProduct& product, const std::string& localPackage,
                    const std::string& probePath) {
    std::string versionText;
    if (!GetMSIProperty("ProductVersion", localPackage, versionText)) {
        return false;
    }
    const DWORD productVersion = GetMSIVersion(versionText);
    std::string productCode;
    DWORD highestBuild = 0;
    if (GetMSIProductCode(localPackage, productCode)) {
        (void)product.GetHighestAppliedBuild(productCode, highestBuild);
    }
    DWORD probeBuild = 0;
    return GetMspBuildVersion(probePath, versionText, probeBuild) &&
           probeBuild <= std::max(productVersion, highestBuild);
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
    // The first file the search yields.
    if (!ForEachFile(patchFolder + "*.msp", [&](const WIN32_FIND_DATAA& found) {
            probe.strPath = patchFolder + found.cFileName;
            return false;
        })) {
        probe.nTraceCode = UpdateTraceNoPatchFile;
        return probe;
    }
    if (!GetMspTargetID(probe.strPath, &probe.strTarget, nullptr, &probe.strTitle)) {
        probe.nTraceCode = UpdateTraceNoTarget;
        return probe;
    }
    const std::size_t build = text::FindString(probe.strTitle, " Build");
    probe.strCaption = build == text::npos ? "" : probe.strTitle.substr(0, build);
    return probe;
}

tagUpdateDecision DecideUpdate(const tagLaunchContext& context, CInstalledProduct& product) {
    const tagUpdateProbe probe = FindUpdateProbe(context);
    tagUpdateDecision decision;
    if (probe.nTraceCode != 0) {
        return Decide(decision, probe.nTraceCode, UpdateBoxLaunchFailure, probe);
    }
    std::string localPackage;
    if (!product.FindInstalled(probe.strTarget, decision.strProductCode, localPackage)) {
        return Decide(decision, UpdateTraceNotInstalled, UpdateBoxNoTarget, probe);
    }
    const int mode = GetMSPInstMode(context, product, localPackage, decision);
    decision.nInstMode = mode;
    TraceLine("GetMSPInstMode");
    TraceCode(mode);
    if (mode == InstModeSameBuild || mode == InstModeOlderBuild) {
        return Decide(decision, UpdateTraceAlreadyApplied, UpdateBoxAlreadyApplied, probe);
    }
    if (mode == InstModeApply) {
        return Decide(decision, UpdateTraceApply, UpdateBoxSetup, probe);
    }
    if (mode == InstModeNotListed && IsProbeNoNewer(product, localPackage, probe.strPath)) {
        return Decide(decision, UpdateTraceNotNewer, UpdateBoxAlreadyApplied, probe);
    }
    return Decide(decision, UpdateTraceNotApplicable, UpdateBoxNoTarget, probe);
}
