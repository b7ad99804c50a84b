// Writes a patch package database of the kind the launcher reads: the patch storage class,
// summary information (title, target product codes, transforms, patch code) and an
// MsiPatchMetadata table with a DBuildVersion row. It carries no transforms, so it can be
// read but not applied: the tests use it for what patch_builder does not make (no build row,
// a build of two numbers, a target list longer than the launcher's buffer).
//   usage: patch_database OUT.msp TITLE TARGETS PATCH_CODE [BUILD_VERSION]
//          patch_database /targets PATCH.msp TARGETS
// Without BUILD_VERSION the MsiPatchMetadata table has no DBuildVersion row. The second form
// gives an existing patch (one patch_builder made, which names only its own target) another
// target list and leaves the rest alone, so that the patch still applies.
#include "msi_handle.h"
#include "summary_stream.h"

#include <cstdint>
#include <cstdio>
#include <string>

using patch_builder::MsiHandle;
using patch_builder::OpenView;
using patch_builder::Require;
namespace summary_id = patch_builder::summary_id;

namespace {

// The persist mode by number: the headers spell it as a pointer.
constexpr std::uintptr_t kCreatePatch = 3 + 32; // MSIDBOPEN_CREATE + MSIDBOPEN_PATCHFILE
// Direct: only the summary stream is written again, the transforms and the cabinet stay.
constexpr std::uintptr_t kUpdatePatch = 2 + 32; // MSIDBOPEN_DIRECT + MSIDBOPEN_PATCHFILE

void Execute(MSIHANDLE database, const std::string& query) {
    MsiHandle view;
    OpenView(database, query, view);
}

void SetText(MSIHANDLE summary, UINT property, const std::string& text) {
    Require(MsiSummaryInfoSetPropertyA(summary, property, VT_LPSTR, 0, nullptr, text.c_str()),
            "MsiSummaryInfoSetProperty");
}

void Write(int argc, char** argv) {
    const std::string path = argv[1];
    DeleteFileA(path.c_str());
    MsiHandle database;
    Require(
        MsiOpenDatabaseA(path.c_str(), reinterpret_cast<LPCSTR>(kCreatePatch), database.receive()),
        "MsiOpenDatabase");
    Execute(database.get(), "CREATE TABLE `MsiPatchMetadata` (`Company` CHAR(72), "
                            "`Property` CHAR(72) NOT NULL, `Value` LONGCHAR NOT NULL "
                            "PRIMARY KEY `Company`, `Property`)");
    Execute(database.get(), "INSERT INTO `MsiPatchMetadata` (`Company`, `Property`, `Value`) "
                            "VALUES ('', 'Classification', 'Update')");
    if (argc == 6) {
        Execute(database.get(), std::string("INSERT INTO `MsiPatchMetadata` (`Company`, "
                                            "`Property`, `Value`) VALUES ('', "
                                            "'DBuildVersion', '") +
                                    argv[5] + "')");
    }
    MsiHandle summary;
    Require(MsiGetSummaryInformationA(database.get(), nullptr, 20, summary.receive()),
            "MsiGetSummaryInformation");
    SetText(summary.get(), summary_id::kTitle, argv[2]);
    SetText(summary.get(), summary_id::kSubject, "QernoE update");
    SetText(summary.get(), summary_id::kAuthor, "Nimbra");
    SetText(summary.get(), summary_id::kTemplate, argv[3]);
    SetText(summary.get(), summary_id::kLastSavedBy, ":T;:#T");
    SetText(summary.get(), summary_id::kRevisionNumber, argv[4]);
    Require(MsiSummaryInfoSetPropertyA(summary.get(), summary_id::kWordCount, VT_I4, 3, nullptr,
                                       nullptr),
            "MsiSummaryInfoSetProperty");
    Require(MsiSummaryInfoPersist(summary.get()), "MsiSummaryInfoPersist");
    Require(MsiDatabaseCommit(database.get()), "MsiDatabaseCommit");
}

void Retarget(const std::string& path, const std::string& targets) {
    MsiHandle database;
    Require(
        MsiOpenDatabaseA(path.c_str(), reinterpret_cast<LPCSTR>(kUpdatePatch), database.receive()),
        "MsiOpenDatabase");
    MsiHandle summary;
    Require(MsiGetSummaryInformationA(database.get(), nullptr, 20, summary.receive()),
            "MsiGetSummaryInformation");
    SetText(summary.get(), summary_id::kTemplate, targets);
    Require(MsiSummaryInfoPersist(summary.get()), "MsiSummaryInfoPersist");
    Require(MsiDatabaseCommit(database.get()), "MsiDatabaseCommit");
}

} // namespace

int main(int argc, char** argv) {
    const bool retarget = argc == 4 && std::string(argv[1]) == "/targets";
    if (!retarget && argc != 5 && argc != 6) {
        std::fprintf(stderr,
                     "usage: patch_database OUT.msp TITLE TARGETS PATCH_CODE [BUILD_VERSION]\n"
                     "       patch_database /targets PATCH.msp TARGETS\n");
        return 2;
    }
    try {
        if (retarget) {
            Retarget(argv[2], argv[3]);
        } else {
            Write(argc, argv);
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "patch_database: %s\n", error.what());
        return 1;
    }
}
