#include "patch/inst_msp.h"

#include "app/exit_codes.h"
#include "app/setup_exe_app.h"
#include "app/user_message.h"
#include "log/trace_scope.h"
#include "msiquery/installed_target.h"
#include "msiquery/msi_version.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_queries.h"
#include "msiquery/patch_summary.h"
#include "os/scoped_handle.h"
#include "os/path_tests.h"
#include "patch/edition_patch_list.h"
#include "patch/setup_patch.h"
#include "readiness/installer_engine_check.h"
#include "text/mbstring.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kTraceNoPatchFolder = 2712;
constexpr int kTraceNoPatchFile = 2729;
constexpr int kTraceNoTarget = 2754;
constexpr int kTraceNotInstalled = 2771;
constexpr int kTraceAlreadyApplied = 2798;
constexpr int kTraceApply = 2816;
constexpr int kTraceNotNewer = 2845;
constexpr int kTraceNotApplicable = 2856;

void ShowNoTarget(const CSetupExeApp& app, const std::string& caption) {
    ShowWarningBox(app, caption,
                   "アップデート対象の製品が存在しません。\n\nセットアップを終了します。\n");
}

void ShowAlreadyApplied(const CSetupExeApp& app, const std::string& caption,
                        const std::string& title) {
    const char* sentence =
        IsPreVistaWindows() ? "\nはすでに適用済です。\n\n" : "はすでに適用済です。\n\n";
    ShowWarningBox(app, caption, title + sentence + "セットアップを終了します。\n");
}

void ShowSetup(const CSetupExeApp& app, const std::string& caption, const std::string& title) {
    const char* sentence =
        IsPreVistaWindows() ? "\nのセットアップを行います。\n\n" : "のセットアップを行います。\n\n";
    ShowWarningBox(app, caption, title + sentence);
}

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

// The highest build among the patches applied to the product; a patch whose build cannot be
// read counts as 0.
bool HighestAppliedBuild(const std::string& productCode, DWORD& highest) {
    std::vector<std::string> patchCodes;
    if (!GetPatchPackageCode(productCode, patchCodes)) {
        return false;
    }
    highest = 0;
    for (const std::string& patchCode : patchCodes) {
        highest = std::max(highest, GetPCMspBuildVersion(patchCode));
    }
    return true;
}

} // namespace

int GetMSPInstMode(CSetupExeApp& app, std::string& chosenPatchPath,
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
    if (!HighestAppliedBuild(productCode, highest)) {
        return InstModeApply;
    }
    if (chosenBuild == highest) {
        return InstModeSameBuild;
    }
    return chosenBuild > highest ? InstModeApply : InstModeOlderBuild;
}

bool GetInstalledVersions(const std::string& localPackage, DWORD& productVersion,
                          DWORD& highestBuild) {
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
    HighestAppliedBuild(productCode, highestBuild);
    return true;
}

int InstMSP(CSetupExeApp& app) {
    CTraceScope scope("InstMSP");
    const std::string patchFolder = app.m_strExeDir + "MSP\\";
    if (!IsExistingFolder(patchFolder)) {
        TraceCode(kTraceNoPatchFolder);
        ShowLaunchFailure(app);
        return ExitCodeMediaUnusable;
    }
    std::string probe;
    if (!FindProbePackage(patchFolder, probe)) {
        TraceCode(kTraceNoPatchFile);
        ShowLaunchFailure(app);
        return ExitCodeMediaUnusable;
    }
    std::string target;
    std::string patchCode;
    std::string title;
    if (!GetMspTargetID(probe, &target, &patchCode, &title)) {
        TraceCode(kTraceNoTarget);
        ShowLaunchFailure(app);
        return ExitCodeMediaUnusable;
    }
    const std::size_t build = text::FindString(title, " Build");
    const std::string caption = build == text::npos ? "" : title.substr(0, build);

    std::string localPackage;
    if (!GetMSIProductInfo(ChooseInstalledTarget(target), "LocalPackage", localPackage)) {
        TraceCode(kTraceNotInstalled);
        ShowNoTarget(app, caption);
        return ExitCodeNoTarget;
    }
    std::string chosenPatchPath;
    const int mode = GetMSPInstMode(app, chosenPatchPath, localPackage);
    TraceLine("GetMSPInstMode");
    TraceCode(mode);

    if (mode == InstModeSameBuild || mode == InstModeOlderBuild) {
        TraceCode(kTraceAlreadyApplied);
        ShowAlreadyApplied(app, caption, title);
        return ExitCodeSuccess;
    }
    if (mode == InstModeApply) {
        TraceCode(kTraceApply);
        ShowSetup(app, caption, title);
        return SetupPatch(app, chosenPatchPath);
    }
    if (mode < 0) {
        TraceCode(kTraceNotApplicable);
        ShowNoTarget(app, caption);
        return ExitCodeNoTarget;
    }
    // Not listed: compare the probe package with what is installed.
    DWORD productVersion = 0;
    DWORD highestBuild = 0;
    std::string versionText;
    DWORD probeBuild = 0;
    if (GetInstalledVersions(localPackage, productVersion, highestBuild) &&
        GetMspBuildVersion(probe, versionText, probeBuild) &&
        (probeBuild <= productVersion || probeBuild <= highestBuild)) {
        TraceCode(kTraceNotNewer);
        ShowAlreadyApplied(app, caption, title);
        return ExitCodeSuccess;
    }
    TraceCode(kTraceNotApplicable);
    ShowNoTarget(app, caption);
    return ExitCodeNoTarget;
}
