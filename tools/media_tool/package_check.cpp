#include "package_check.h"

#include "package_as_installed.h"

#include "app/setup_exe_app.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_summary.h"
#include "os/path_tests.h"
#include "patch/edition_patch_list.h"

namespace {

void ReadListing(CSetupExeApp& app, const std::string& package, tagPackageRow& row,
                 tagMediaReport& report) {
    std::string installVer;
    const char* token = nullptr;
    if (GetMSIProperty("DInstallVer", package, installVer)) {
        token = FindEditionToken(installVer);
    }
    if (token == nullptr) {
        report.AddError(package, "\"DInstallVer\" names no edition: no section is read");
        return;
    }
    row.strEdition = token;
    row.strSection = GetEditionSection(token);
    std::string chosen;
    ChkInstall(app, package, chosen);
    if (chosen.empty()) {
        report.AddError(package, row.strSection + " lists no patch for its package code " +
                                     row.strPackageCode);
        return;
    }
    // The launcher names it MSP\ + the entry's name + ".msp", whatever the name holds.
    const std::size_t folderLength = (app.m_strExeDir + "MSP\\").size();
    row.strPatchName = chosen.substr(folderLength, chosen.size() - folderLength - 4);
    std::string target;
    if (IsExistingFile(chosen) && GetMspTargetID(chosen, &target, nullptr, nullptr)) {
        row.bTargetsProduct = IsProductTargeted(target, row.strProductCode);
        if (!*row.bTargetsProduct) {
            report.AddError(package, "its patch " + row.strPatchName + " targets " + target +
                                         ", not its product " + row.strProductCode);
        }
    }
}

} // namespace

void CheckPackage(CSetupExeApp& app, const std::string& package,
                  const std::vector<std::string>& appliedPatches, tagMediaReport& report) {
    tagPackageRow row;
    row.strPackage = package;
    std::vector<tagSummaryValue> summary;
    if (!GetMSIProductCode(package, row.strProductCode) ||
        !GetMspSummaryInformation(summary, package, false)) {
        report.AddError(package, "cannot be read as a product package");
    } else {
        row.strPackageCode = FindPackageCode(summary);
        ReadListing(app, package, row, report);
    }

    CPackageAsInstalled installed(package, appliedPatches);
    const tagUpdateDecision decision = DecideUpdate(app, installed);
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
    report.aRows.push_back(row);
}
