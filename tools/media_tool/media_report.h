// What media_tool check found on a set of update media: the settings, the patch packages, the
// probe package, one row per product package, and the findings (errors and warnings). Texts are
// code page 932, as the launcher has them.
#pragma once

#include "patch/signature.h"
#include "patch/update_decision.h"

#include <optional>
#include <string>
#include <vector>

struct tagMediaFinding {
    bool bError = false;
    std::string strSubject; // "Install.dat", a section, "MSP\<file>", a package file
    std::string strText;
};

// One line of a Patch_<edition> section, as the launcher reads it.
struct tagSettingsEntry {
    std::string strSection;
    std::string strPatchName;
    std::string strPackageCode;
};

// One *.msp of MSP\, in the order the file search yields them.
struct tagPatchFile {
    std::string strName;
    bool bReadable = false; // opens as a patch that names its targets and its patch code
    std::string strTitle;
    std::string strBuildVersion; // DBuildVersion, "" when it cannot be read
    std::string strTarget;
    bool bListed = false;
    tagSignature signature;
};

// What Setup.exe would do on a machine where this product package is installed.
struct tagPackageRow {
    std::string strPackage; // as given
    std::string strProductCode;
    std::string strPackageCode;
    std::string strEdition; // the token "DInstallVer" holds; "" for none
    std::string strSection;
    std::string strPatchName;            // listed for the package's package code; "" for none
    std::optional<bool> bTargetsProduct; // when the listed patch could be read
    std::optional<int> nInstMode;
    int nTraceCode = 0;
    UpdateBox nBox = UpdateBoxLaunchFailure;
    std::string strCaption;
    std::string strText;
    int nExitCode = 0;
    bool bPatchRejected = false; // a signed Setup.exe refuses the listed patch after the box

    // After the setup box the installer's exit code is the run's, unless the patch is refused.
    bool IsExitCodeFromInstaller() const { return nBox == UpdateBoxSetup && !bPatchRejected; }
};

struct tagMediaReport {
    std::string strMedia;
    bool bSettingsRead = false;
    std::optional<std::string> strUrl; // when [Install] has a URL
    std::vector<tagSettingsEntry> aEntries;
    std::vector<tagPatchFile> aPatches;
    tagUpdateProbe probe;                       // the first *.msp and its caption
    std::optional<tagSignature> setupSignature; // Setup.exe's, when the media hold one
    std::vector<tagPackageRow> aRows;
    std::vector<tagMediaFinding> aFindings;

    void AddError(std::string subject, std::string text) {
        aFindings.push_back({true, std::move(subject), std::move(text)});
    }
    void AddWarning(std::string subject, std::string text) {
        aFindings.push_back({false, std::move(subject), std::move(text)});
    }
    int CountFindings(bool errors) const {
        int count = 0;
        for (const tagMediaFinding& finding : aFindings) {
            count += finding.bError == errors ? 1 : 0;
        }
        return count;
    }
};

// The box's name in the report: "launch-failure", "no-target", "already-applied", "setup".
const char* GetUpdateBoxName(UpdateBox box);
