#include "msiquery/patch_queries.h"

#include "log/trace_scope.h"
#include "msiquery/msi_version.h"
#include "msiquery/package_queries.h"
#include "os/scoped_handle.h"
#include "os/path_tests.h"

bool GetRecordString(MSIHANDLE record, UINT field, std::string& value) {
    CTraceScope scope("GetRecordString");
    if (!ReadRecordText(record, field, value)) {
        TraceLastError("MsiRecordGetString Err");
        return false;
    }
    TraceLine("Value:" + value);
    return true;
}

bool GetMspBuildVersion(const std::string& patchPath, std::string& versionText, DWORD& packed) {
    CTraceScope scope("GetMspBuildVersion");
    CMsiHandle database;
    if (MsiOpenDatabaseA(patchPath.c_str(), PatchReadOnlyMode(), database.Put()) != ERROR_SUCCESS) {
        TraceLastError("MsiOpenDatabase Err");
        return false;
    }
    CMsiHandle view;
    if (MsiDatabaseOpenViewA(database.Get(),
                             "SELECT * FROM MsiPatchMetadata WHERE Property='DBuildVersion'",
                             view.Put()) != ERROR_SUCCESS) {
        TraceLastError("MsiDatabaseOpenView Err");
        return false;
    }
    // A failed execution shows as an empty fetch.
    MsiViewExecute(view.Get(), 0);

    CMsiHandle record;
    while (MsiViewFetch(view.Get(), record.Put()) == ERROR_SUCCESS) {
        std::string property;
        std::string value;
        GetRecordString(record.Get(), 2, property);
        GetRecordString(record.Get(), 3, value);
        record.Reset();
        if (property != "DBuildVersion" || value.empty()) {
            continue;
        }
        versionText = value;
        packed = GetMSIVersion(value);
        TraceLine("BuildVer  :" + versionText);
        TraceLine("BuildVerDW:" + std::to_string(packed));
        return true;
    }
    return false;
}

bool GetPatchPackageCode(const std::string& productCode, std::vector<std::string>& patchCodes) {
    CTraceScope scope("GetPatchPackageCode");
    for (DWORD index = 0;; ++index) {
        char patchCode[256] = {};
        char transforms[256] = {};
        DWORD transformsLength = sizeof transforms;
        // Transforms that do not fit still come with the patch code filled in: a patch with a
        // long transform list counts, and the patches after it are read. Anything else (the
        // end, an error) ends the list as far as it got.
        const UINT result =
            MsiEnumPatchesA(productCode.c_str(), index, patchCode, transforms, &transformsLength);
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) {
            break;
        }
        TraceLine(std::string("PatchCode:") + patchCode);
        patchCodes.push_back(patchCode);
    }
    return true;
}

DWORD GetPCMspBuildVersion(const std::string& patchCode) {
    CTraceScope scope("GetPCMspBuildVersion");
    TraceLine("PatchCode:" + patchCode);
    char localPackage[512] = {};
    DWORD length = sizeof localPackage;
    if (MsiGetPatchInfoA(patchCode.c_str(), "LocalPackage", localPackage, &length) !=
        ERROR_SUCCESS) {
        TraceLastError("MsiGetPatchInfo Err");
        return 0;
    }
    TraceLine(std::string("File Chk:") + localPackage);
    if (!IsExistingFile(localPackage)) {
        TraceLine(std::string("File Not Found:") + localPackage);
        return 0;
    }
    std::string versionText;
    DWORD packed = 0; // stays 0 when the build cannot be read
    (void)GetMspBuildVersion(localPackage, versionText, packed);
    return packed;
}
