#include "package_check.h"

#include "package_as_installed.h"

#include "msiquery/installed_target.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_summary.h"
#include "os/path_tests.h"
#include "patch/patch_trust.h"
#include "patch/update_decision.h"
#include "run/exit_codes.h"

namespace {

// The edition, section and listed patch.
void ReportListing(const std::string& package, const tagPatchListing& listing, tagPackageRow& row,
                   tagMediaReport& report) {
    if (listing.strEdition.empty()) {
        report.AddError(package, "\"DInstallVer\" names no edition: no section is read");
        return;
    }
    row.strEdition = listing.strEdition;
    row.strSection = GetEditionSection(listing.strEdition);
    if (listing.strPatchPath.empty()) {
        report.AddError(package, row.strSection + " lists no patch for its package code " +
                                     row.strPackageCode);
        return;
    }
    row.strPatchName = listing.strPatchName;
    std::string target;
    if (IsExistingFile(listing.strPatchPath) &&
        GetMspTargetID(listing.strPatchPath, &target, nullptr, nullptr)) {
        row.bTargetsProduct = IsProductTargeted(target, row.strProductCode);
        if (!*row.bTargetsProduct) {
            report.AddError(package, "its patch " + row.strPatchName + " targets " + target +
                                         ", not its product " + row.strProductCode);
        }
    }
}

} // namespace

void CheckPackage(const tagLaunchContext& context, const std::string& package,
                  const std::vector<std::string>& appliedPatches, tagMediaReport& report) {
    tagPackageRow row;
    row.strPackage = package;
    std::vector<tagSummaryValue> summary;
    const bool readable = GetMSIProductCode(package, row.strProductCode) &&
                          GetMspSummaryInformation(summary, package, false);
    if (readable) {
        row.strPackageCode = FindPackageCode(summary);
    } else {
        report.AddError(package, "cannot be read as a product package");
    }

    CPackageAsInstalled installed(package, appliedPatches);
    const tagUpdateDecision decision = DecideUpdate(context, installed);
    if (readable) {
        // The decision reads the listing only for a product the probe package targets; the row
        // shows what the settings list for the package either way.
        ReportListing(package, decision.nInstMode ? decision.listing : ChkInstall(context, package),
                      row, report);
    }
    row.nInstMode = decision.nInstMode;
    row.nTraceCode = decision.nTraceCode;
    row.nBox = decision.nBox;
    row.strCaption = decision.strCaption;
    row.strText = decision.strText;
    row.nExitCode = decision.nExitCode;
    if (decision.nBox == UpdateBoxNoTarget || decision.nBox == UpdateBoxLaunchFailure) {
        report.AddError(package, std::string("Setup.exe shows the ") +
                                     GetUpdateBoxName(decision.nBox) + " box and exits " +
                                     std::to_string(decision.nExitCode));
    }
    // After its setup box a signed Setup.exe still refuses a patch its publisher did not sign
    // (or one that another has open for writing). Nothing is installed here: the hold ends with
    // the judgement.
    CFileHandle judgedPatch;
    if (decision.nBox == UpdateBoxSetup && CheckPatchTrust(context, decision.listing.strPatchPath,
                                                           judgedPatch) == PatchTrust::Rejected) {
        row.bPatchRejected = true;
        row.nExitCode = ExitCodePatchRejected;
        report.AddError(package, "Setup.exe shows the setup box, then refuses the patch " +
                                     row.strPatchName + " and exits " +
                                     std::to_string(ExitCodePatchRejected));
    }
    report.aRows.push_back(row);
}
