#include "media_check.h"

#include "package_check.h"
#include "patch_folder_check.h"
#include "settings_check.h"
#include "trust_check.h"

#include "settings/dat_file.h"
#include "run/launch_context.h"
#include "msiquery/patch_queries.h"
#include "os/path_tests.h"
#include "patch/patch_trust.h"
#include "text/append_backslash.h"

namespace {

// The launcher reads a temporary copy of Install.dat; so does the check, and removes it after.
class CDatFileCopy {
public:
    explicit CDatFileCopy(tagLaunchContext& context) : m_context(context) {
        CopyDatFile(m_context);
    }
    ~CDatFileCopy() { DeleteDatFile(m_context); }
    CDatFileCopy(const CDatFileCopy&) = delete;
    CDatFileCopy& operator=(const CDatFileCopy&) = delete;

private:
    tagLaunchContext& m_context;
};

} // namespace

tagMediaReport CheckMedia(const tagCheckRequest& request) {
    tagMediaReport report;
    report.strMedia = request.strMedia;
    if (!IsExistingFolder(request.strMedia)) {
        report.AddError(request.strMedia, "is not a folder");
        return report;
    }
    tagLaunchContext context;
    context.strExeDir = AppendBackslash(request.strMedia);
    context.strExePath = context.strExeDir + "Setup.exe";
    // Held as the launcher holds itself, so that the check judges as a run would.
    const CFileHandle heldSetup = HoldLauncherFile(context.strExePath);
    context.bExeHeld = heldSetup.IsValid();
    CDatFileCopy copy(context);
    CheckSettings(context, report);
    CheckPatchFolder(context, report);
    CheckTrust(context, report);
    for (const std::string& applied : request.astrApplied) {
        std::string versionText;
        DWORD build = 0;
        if (!GetMspBuildVersion(applied, versionText, build)) {
            report.AddError(applied, "applied patch without a readable DBuildVersion: it counts "
                                     "as build 0");
        }
    }
    for (const std::string& package : request.astrPackages) {
        CheckPackage(context, package, request.astrApplied, report);
    }
    return report;
}
