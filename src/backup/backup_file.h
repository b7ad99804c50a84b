// Before a patch is applied, program files of the installed product that were created or
// changed 15 days or more after its main files were created are moved aside to "Bakup_<name>".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One file moved aside, so that it can be put back when the installer fails.
struct tagMovedFile {
    std::string strOwnPath;    // where it was
    std::string strBackupPath; // its "Bakup_" name
    // Where an older backup of the same name waits until the installer has succeeded; "" when
    // there was none.
    std::string strSetAsidePath;
};

// A file moved aside is named kBackupPrefix + its name, beside it; an older backup of that name
// waits under its name + kSetAsideSuffix while the installer runs. The program folder's
// subfolders that are backed up too, ";"-separated.
inline constexpr char kBackupPrefix[] = "Bakup_";
inline constexpr char kSetAsideSuffix[] = ".old";
inline constexpr char kBackupSubfolders[] = "Qerno3D\\";

class CMoveJournal;

// Finds the program folder of the product the patch targets (`installedProduct`, the one the
// update found installed, when the patch names it) and backs its files up; appends every file it
// moved to `moved`, each recorded in `journal` before it moves.
void BackUpFile(const std::string& patchPath, const std::string& installedProduct,
                CMoveJournal& journal, std::vector<tagMovedFile>& moved);
// Does the work for one program folder (ending in "\").
void BackUpProgramFiles(const std::string& folder, CMoveJournal& journal,
                        std::vector<tagMovedFile>& moved);
// A file name the backup looks at: a program (".EXE" or ".DLL" in its name) that is not itself a
// "Bakup_" copy.
[[nodiscard]] bool IsBackupCandidate(const std::string& name);
// A time (seconds since 1970, universal) as local "YYYY/MM/DD hh:mm:ss"; "" when it cannot be
// converted.
[[nodiscard]] std::string FormatTimeText(std::int64_t time);
