// Writes a patch package database of the kind the launcher reads: the patch storage class,
// summary information (title, target product codes, transforms, patch code) and an
// MsiPatchMetadata table with a DBuildVersion row. It carries no transforms, so it can be
// read but not applied.
//   usage: patch_database OUT.msp TITLE TARGETS PATCH_CODE [BUILD_VERSION]
// Without BUILD_VERSION the MsiPatchMetadata table has no DBuildVersion row.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// Persist modes and summary property ids by number: the headers spell them as pointers and
// under other names.
constexpr std::uintptr_t kCreatePatch = 3 + 32; // MSIDBOPEN_CREATE + MSIDBOPEN_PATCHFILE
constexpr UINT kTitle = 2;
constexpr UINT kSubject = 3;
constexpr UINT kAuthor = 4;
constexpr UINT kTargets = 7;
constexpr UINT kTransforms = 8;
constexpr UINT kPatchCode = 9;
constexpr UINT kWordCount = 15;

bool Check(UINT result, const char* step) {
    if (result != ERROR_SUCCESS) {
        std::fprintf(stderr, "patch_database: %s failed: %u\n", step, result);
        return false;
    }
    return true;
}

bool Execute(MSIHANDLE database, const std::string& query) {
    MSIHANDLE view = 0;
    if (!Check(MsiDatabaseOpenViewA(database, query.c_str(), &view), query.c_str())) {
        return false;
    }
    const bool ok = Check(MsiViewExecute(view, 0), query.c_str());
    MsiViewClose(view);
    MsiCloseHandle(view);
    return ok;
}

bool SetText(MSIHANDLE summary, UINT property, const std::string& text) {
    return Check(MsiSummaryInfoSetPropertyA(summary, property, VT_LPSTR, 0, nullptr, text.c_str()),
                 "MsiSummaryInfoSetProperty");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr,
                     "usage: patch_database OUT.msp TITLE TARGETS PATCH_CODE [BUILD_VERSION]\n");
        return 2;
    }
    const std::string path = argv[1];
    DeleteFileA(path.c_str());
    const auto createPatch = reinterpret_cast<LPCSTR>(kCreatePatch);
    MSIHANDLE database = 0;
    if (!Check(MsiOpenDatabaseA(path.c_str(), createPatch, &database), "MsiOpenDatabase")) {
        return 1;
    }
    bool ok = Execute(database, "CREATE TABLE `MsiPatchMetadata` (`Company` CHAR(72), "
                                "`Property` CHAR(72) NOT NULL, `Value` LONGCHAR NOT NULL "
                                "PRIMARY KEY `Company`, `Property`)");
    ok = ok && Execute(database, "INSERT INTO `MsiPatchMetadata` (`Company`, `Property`, "
                                 "`Value`) VALUES ('', 'Classification', 'Update')");
    if (argc == 6) {
        ok = ok && Execute(database, std::string("INSERT INTO `MsiPatchMetadata` (`Company`, "
                                                 "`Property`, `Value`) VALUES ('', "
                                                 "'DBuildVersion', '") +
                                         argv[5] + "')");
    }
    MSIHANDLE summary = 0;
    ok = ok && Check(MsiGetSummaryInformationA(database, nullptr, 20, &summary),
                     "MsiGetSummaryInformation");
    ok = ok && SetText(summary, kTitle, argv[2]);
    ok = ok && SetText(summary, kSubject, "QernoE update");
    ok = ok && SetText(summary, kAuthor, "Nimbra");
    ok = ok && SetText(summary, kTargets, argv[3]);
    ok = ok && SetText(summary, kTransforms, ":T;:#T");
    ok = ok && SetText(summary, kPatchCode, argv[4]);
    ok = ok && Check(MsiSummaryInfoSetPropertyA(summary, kWordCount, VT_I4, 3, nullptr, nullptr),
                     "MsiSummaryInfoSetProperty");
    ok = ok && Check(MsiSummaryInfoPersist(summary), "MsiSummaryInfoPersist");
    MsiCloseHandle(summary);
    ok = ok && Check(MsiDatabaseCommit(database), "MsiDatabaseCommit");
    MsiCloseHandle(database);
    return ok ? 0 : 1;
}
