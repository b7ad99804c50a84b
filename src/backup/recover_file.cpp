#include "backup/recover_file.h"

#include "backup/move_journal.h"
#include "backup/restore_file.h"
#include "log/trace_scope.h"
#include "msiquery/product_inst_dir.h"
#include "os/scoped_handle.h"
#include "text/append_backslash.h"
#include "text/mbstring.h"
#include "text/split_string.h"

#include <algorithm>
#include <cctype>

namespace {

// Windows Installer holds it while an installation runs.
constexpr char kInstallerRunningMutex[] = "Global\\_MSIExecute";
// Enough of a dropped line to recognise it in the trace.
constexpr std::size_t kTracedLineLength = 600;

bool IsInstallerRunning() {
    CKernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, kInstallerRunningMutex));
    // A mutex whose security keeps us out exists all the same.
    return mutex.IsValid() || GetLastError() == ERROR_ACCESS_DENIED;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with hexadecimal digits.
bool IsProductCodeText(const std::string& code) {
    if (code.size() != 38 || code.front() != '{' || code.back() != '}') {
        return false;
    }
    for (std::size_t at = 1; at < 37; ++at) {
        const bool hyphen = at == 9 || at == 14 || at == 19 || at == 24;
        if (hyphen ? code[at] != '-' : !std::isxdigit(static_cast<unsigned char>(code[at]))) {
            return false;
        }
    }
    return true;
}

// A name that only ever names a file in its folder: no separator, drive, stream or wildcard
// character, no control character, and not "." or "..".
bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (std::size_t at = 0; at < name.size(); at += text::CharLength(name, at)) {
        const auto byte = static_cast<unsigned char>(name[at]);
        if (text::CharLength(name, at) == 1 &&
            (byte < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(byte)) !=
                                std::string_view::npos)) {
            return false;
        }
    }
    return true;
}

// An untrusted line as it may go into the trace: no control character (a line break would
// forge trace lines), and not without end.
std::string Printable(std::string_view line) {
    std::string printable(line.substr(0, kTracedLineLength));
    std::replace_if(
        printable.begin(), printable.end(),
        [](char ch) { return static_cast<unsigned char>(ch) < 0x20; }, '?');
    return printable;
}

// Puts one journaled file back by the rule after a success: a file the installer laid again
// stays. False when a move that was due failed.
bool PutBack(const tagMovedFile& file) {
    bool putBack = true;
    if (!PathFileExistsA(file.strOwnPath.c_str()) && PathFileExistsA(file.strBackupPath.c_str())) {
        putBack = MoveBack(file.strBackupPath, file.strOwnPath, 0);
    }
    // With its name taken by a newer backup, the older one stays where it is.
    if (!file.strSetAsidePath.empty() && PathFileExistsA(file.strSetAsidePath.c_str()) &&
        !PathFileExistsA(file.strBackupPath.c_str())) {
        putBack = MoveBack(file.strSetAsidePath, file.strBackupPath, 0) && putBack;
    }
    return putBack;
}

} // namespace

bool IsJournaledMove(const tagMovedFile& file, const std::string& folder) {
    const std::size_t lastBackslash = text::FindLastChar(file.strOwnPath, '\\');
    if (folder.empty() || lastBackslash == text::npos) {
        return false;
    }
    const std::string ownFolder = file.strOwnPath.substr(0, lastBackslash + 1);
    const std::string name = file.strOwnPath.substr(lastBackslash + 1);
    const std::string upperFolder = text::MakeUpper(ownFolder);
    const std::string backup = ownFolder + kBackupPrefix + name;
    std::vector<std::string> subfolders;
    SplitString(kBackupSubfolders, ";", subfolders);
    const bool inFolder =
        upperFolder == text::MakeUpper(folder) ||
        std::any_of(subfolders.begin(), subfolders.end(), [&](const std::string& subfolder) {
            return upperFolder == text::MakeUpper(folder + subfolder);
        });
    return inFolder && IsPlainFileName(name) && IsBackupCandidate(name) &&
           file.strBackupPath == backup &&
           (file.strSetAsidePath.empty() || file.strSetAsidePath == backup + kSetAsideSuffix);
}

void RecoverFile() {
    tagMoveJournal journal;
    const JournalState state = ReadMoveJournal(journal);
    if (state == JournalState::None) {
        return;
    }
    CTraceScope scope("RecoverFile");
    if (state == JournalState::Unreadable) {
        TraceLine("Journal Unreadable");
        RemoveMoveJournal();
        return;
    }
    if (IsInstallerRunning()) {
        TraceLine("MSIExecute Running");
        return;
    }
    std::string folder;
    if (!IsProductCodeText(journal.strProductCode) ||
        !GetProductInstDir(journal.strProductCode, folder)) {
        TraceLine("Journal Not Installed：" + Printable(journal.strProductCode));
        RemoveMoveJournal();
        return;
    }
    folder = AppendBackslash(folder);
    bool settled = true;
    for (const std::string& line : journal.lines) {
        const std::optional<tagMovedFile> file = ParseJournalLine(line);
        if (!file || !IsJournaledMove(*file, folder)) {
            TraceLine("Journal Drop：" + Printable(line));
            continue;
        }
        settled = PutBack(*file) && settled;
    }
    if (settled) {
        RemoveMoveJournal();
    }
}
