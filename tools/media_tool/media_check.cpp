#include "media_check.h"

#include "package_check.h"
#include "patch_folder_check.h"
#include "settings_check.h"

#include "app/dat_file.h"
#include "app/setup_exe_app.h"
#include "msiquery/patch_queries.h"
#include "os/path_tests.h"
#include "text/append_backslash.h"

namespace {

// The launcher reads a temporary copy of Install.dat; so does the check, and removes it after.
class CDatFileCopy {
public:
    explicit CDatFileCopy(CSetupExeApp& app) : m_app(app) { CopyDatFile(m_app); }
    ~CDatFileCopy() { DeleteDatFile(m_app); }
    CDatFileCopy(const CDatFileCopy&) = delete;
    CDatFileCopy& operator=(const CDatFileCopy&) = delete;

private:
    CSetupExeApp& m_app;
};

} // namespace

tagMediaReport CheckMedia(const tagCheckRequest& request) {
    tagMediaReport report;
    report.strMedia = request.strMedia;
    if (!IsExistingFolder(request.strMedia)) {
        report.AddError(request.strMedia, "is not a folder");
        return report;
    }
    CSetupExeApp app;
    app.m_strExeDir = AppendBackslash(request.strMedia);
    CDatFileCopy copy(app);
    CheckSettings(app, report);
    CheckPatchFolder(app, report);
    for (const std::string& applied : request.astrApplied) {
        std::string versionText;
        DWORD build = 0;
        if (!GetMspBuildVersion(applied, versionText, build)) {
            report.AddError(applied, "applied patch without a readable DBuildVersion: it counts "
                                     "as build 0");
        }
    }
    for (const std::string& package : request.astrPackages) {
        CheckPackage(app, package, request.astrApplied, report);
    }
    return report;
}
