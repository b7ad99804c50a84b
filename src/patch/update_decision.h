// What an update run decides before anything is shown or started: the patch it would apply,
// the one box it ends with and its exit code. Setup.exe shows the box and applies the patch;
// the media checker reports the decision for a product package it is given, so that both
// decide with the same code.
#pragma once

#include "os/win32api.h"
#include "patch/edition_patch_list.h"

#include <optional>
#include <string>

struct tagLaunchContext;

// The install modes; the numbers are written to the trace and never change.
enum InstMode {
    InstModeError = -1,
    InstModeNotListed = 0,
    InstModeApply = 1,
    InstModeSameBuild = 2,
    InstModeOlderBuild = 3,
};

// The trace codes of the decision, written just before the box; they never change.
enum UpdateTrace {
    UpdateTraceNoPatchFolder = 2712,
    UpdateTraceNoPatchFile = 2729,
    UpdateTraceNoTarget = 2754,
    UpdateTraceNotInstalled = 2771,
    UpdateTraceAlreadyApplied = 2798,
    UpdateTraceApply = 2816,
    UpdateTraceNotNewer = 2845,
    UpdateTraceNotApplicable = 2856,
};

// The one box of a run.
enum UpdateBox {
    UpdateBoxLaunchFailure,
    UpdateBoxNoTarget,
    UpdateBoxAlreadyApplied,
    UpdateBoxSetup,
};

// What the decision asks about the installed product: Setup.exe asks Windows Installer, the
// media checker answers from a product package and the patches said to be applied to it.
class CInstalledProduct {
public:
    virtual ~CInstalledProduct() = default;
    // The product that `targetList` (product codes, ";" between them) names and that is
    // installed, and the installer's cached copy of its package; false when none of them is
    // installed (the outputs are then left as they are).
    virtual bool FindInstalled(const std::string& targetList, std::string& productCode,
                               std::string& localPackage) = 0;
    // The highest build among the patches applied to the product, a patch whose build cannot
    // be read counting as 0; false when the applied patches cannot be listed.
    virtual bool GetHighestAppliedBuild(const std::string& productCode, DWORD& highestBuild) = 0;
};

// The product as Windows Installer has it registered on this machine.
class CRegisteredProduct : public CInstalledProduct {
public:
    bool FindInstalled(const std::string& targetList, std::string& productCode,
                       std::string& localPackage) override;
    bool GetHighestAppliedBuild(const std::string& productCode, DWORD& highestBuild) override;
};

// The first patch package the search of MSP\ yields: the boxes take their caption and title
// from it, and the installed product is looked for among its targets.
struct tagUpdateProbe {
    int nTraceCode = 0;     // 2712, 2729 or 2754 when there is no readable one; else 0
    std::string strPath;    // "" when every match is a folder
    std::string strTarget;  // the target product codes as stored
    std::string strTitle;   // the summary title
    std::string strCaption; // the title before " Build"; "" when it holds no " Build"
};

struct tagUpdateDecision {
    int nTraceCode = 0;           // written just before the box
    std::optional<int> nInstMode; // when the installed product's package was found
    UpdateBox nBox = UpdateBoxLaunchFailure;
    std::string strCaption;
    std::string strText;
    int nExitCode = 0; // the run's; with the setup box the installer's decides

    // What the decision learned on its way, so that the steps after it need not ask again.
    std::string strProductCode; // the probe's target that is installed; "" when none is
    tagPatchListing listing;    // the edition and the patch listed for the package
    DWORD dwPatchBuild = 0;     // the listed patch's build; 0 when it was not read
};

// Looks for the probe package in the launcher's MSP\ and reads it.
[[nodiscard]] tagUpdateProbe FindUpdateProbe(const tagLaunchContext& context);

// The whole decision of a run, traced as the run traces it; shows nothing and starts nothing.
[[nodiscard]] tagUpdateDecision DecideUpdate(const tagLaunchContext& context,
                                             CInstalledProduct& product);
