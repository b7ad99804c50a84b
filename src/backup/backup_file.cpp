#include "backup/backup_file.h"

#include "backup/move_journal.h"
#include "log/trace_scope.h"
#include "msiquery/installed_target.h"
#include "msiquery/patch_summary.h"
#include "msiquery/product_inst_dir.h"
#include "text/split_string.h"
#include "os/date_time_text.h"
#include "os/folder_search.h"
#include "os/scoped_handle.h"
#include "os/path_tests.h"
#include "text/append_backslash.h"
#include "text/mbstring.h"

#include <algorithm>

namespace {

constexpr char kMainFiles[] = "Qerno.exe;Wardex.exe;Plinth.dll";
constexpr std::int64_t kBackupAge = 1'296'000; // 15 days
constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// File time (universal) in seconds since 1970; 0 for a time before then.
std::int64_t SecondsOf(const FILETIME& time) {
    const auto ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    const std::int64_t seconds = ticks / kTicksPerSecond - kSecondsFrom1601To1970;
    return seconds > 0 ? seconds : 0;
}

std::int64_t Now() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return SecondsOf(now);
}

// Moves one file aside. An older backup of the same name is set aside, not deleted: if the
// installer fails, the run must leave the folder as it found it.
void MoveAside(const std::string& folder, const std::string& name, CMoveJournal& journal,
               std::vector<tagMovedFile>& moved) {
    CTraceScope scope("Rename File");
    const std::string source = folder + name;
    const std::string backup = folder + kBackupPrefix + name;
    const std::string setAside = IsExistingFile(backup) ? backup + kSetAsideSuffix : "";
    if (!journal.Record({source, backup, setAside})) {
        return;
    }
    if (!setAside.empty()) {
        TraceLine("Keep File：" + backup + " → " + setAside);
        // One left by a run that was cut off is older still: it gives way.
        if (!MoveFileExA(backup.c_str(), setAside.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            TraceLine("Keep File：Error");
            TraceCode(static_cast<int>(GetLastError()));
            return;
        }
        TraceLine("Keep File：SUCCESS");
    }
    TraceLine("REN File：" + source + " → " + backup);
    if (MoveFileA(source.c_str(), backup.c_str())) {
        moved.push_back({source, backup, setAside});
        TraceLine("REN File：SUCCESS");
        return;
    }
    TraceLine("REN File：Error");
    TraceCode(static_cast<int>(GetLastError()));
    if (!setAside.empty()) {
        TraceLine("Restore File：" + setAside + " → " + backup);
        if (MoveFileA(setAside.c_str(), backup.c_str())) {
            TraceLine("Restore File：SUCCESS");
        } else {
            TraceLine("Restore File：Error");
            TraceCode(static_cast<int>(GetLastError()));
        }
    }
}

} // namespace

std::string FormatTimeText(std::int64_t time) {
    if (time < 0) {
        return "";
    }
    const auto ticks =
        static_cast<std::uint64_t>((time + kSecondsFrom1601To1970) * kTicksPerSecond);
    const FILETIME universal{static_cast<DWORD>(ticks & 0xFFFFFFFFu),
                             static_cast<DWORD>(ticks >> 32)};
    // The offset in force on that date: today's daylight saving would shift summer dates.
    SYSTEMTIME universalCivil{};
    SYSTEMTIME civil{};
    if (!FileTimeToSystemTime(&universal, &universalCivil) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universalCivil, &civil)) {
        return "";
    }
    return FormatDateTime(civil);
}

bool IsBackupCandidate(const std::string& name) {
    const std::string upper = text::MakeUpper(name);
    return (text::FindString(upper, ".DLL") != text::npos ||
            text::FindString(upper, ".EXE") != text::npos) &&
           upper.rfind("BAKUP_", 0) != 0;
}

void BackUpFile(const std::string& patchPath, const std::string& installedProduct,
                CMoveJournal& journal, std::vector<tagMovedFile>& moved) {
    CTraceScope scope("BackUpFile");
    std::string target;
    if (!GetMspTargetID(patchPath, &target, nullptr, nullptr)) {
        return;
    }
    // The update already found which product is installed; only a patch that does not name it
    // sends the search back to the installer.
    const std::string product = IsProductTargeted(target, installedProduct)
                                    ? installedProduct
                                    : ChooseInstalledTarget(target);
    std::string folder;
    if (!GetProductInstDir(product, folder)) {
        return;
    }
    journal.SetProductCode(product);
    BackUpProgramFiles(AppendBackslash(folder), journal, moved);
}

void BackUpProgramFiles(const std::string& folder, CMoveJournal& journal,
                        std::vector<tagMovedFile>& moved) {
    // The reference time: the earliest creation of the main files, or now without them.
    std::int64_t reference = Now();
    std::vector<std::string> mainFiles;
    SplitString(kMainFiles, ";", mainFiles);
    for (const std::string& name : mainFiles) {
        const std::string path = folder + name;
        if (path.size() >= MAX_PATH) {
            continue;
        }
        WIN32_FIND_DATAA found{};
        CFindHandle find(FindFirstFileA(path.c_str(), &found));
        if (!find.IsValid()) {
            continue;
        }
        std::int64_t created = SecondsOf(found.ftCreationTime);
        if (created == 0) {
            created = SecondsOf(found.ftLastWriteTime);
        }
        // A time before 1970 says nothing about the installation; taken as the reference, it
        // would move every program file, the main programs included.
        if (created != 0) {
            reference = std::min(reference, created);
        }
    }

    std::vector<std::string> folders{folder};
    std::vector<std::string> subfolders;
    SplitString(kBackupSubfolders, ";", subfolders);
    for (const std::string& subfolder : subfolders) {
        const std::string path = AppendBackslash(folder + subfolder);
        if (IsExistingFolder(path)) {
            folders.push_back(path);
        }
    }

    TraceLine(FormatTimeText(reference));
    const std::int64_t threshold = reference + kBackupAge;

    for (const std::string& searched : folders) {
        ForEachFile(searched + "*.*", [&](const WIN32_FIND_DATAA& found) {
            const std::string name = found.cFileName;
            const std::int64_t fileTime =
                std::max(SecondsOf(found.ftCreationTime), SecondsOf(found.ftLastWriteTime));
            if (!IsBackupCandidate(name)) {
                return true;
            }
            TraceLine("Chk File：" + searched + name + "  " + FormatTimeText(fileTime));
            if (fileTime >= threshold) {
                MoveAside(searched, name, journal, moved);
            }
            return true;
        });
    }
}
