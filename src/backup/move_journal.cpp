#include "backup/move_journal.h"

#include "log/trace_log.h"
#include "os/scoped_handle.h"

namespace {

constexpr char kJournalKey[] = "SOFTWARE\\QernoE\\Setup";
constexpr char kJournalValue[] = "MovedFiles";
constexpr char kFieldSeparator = '\t';
// Far more than any program folder's files; a larger value is not ours.
constexpr DWORD kLargestJournal = 1 << 20;

void TraceStatus(LPCSTR text, LSTATUS status) {
    TraceLine(text);
    TraceCode(static_cast<int>(status));
}

} // namespace

std::string JournalLine(const tagMovedFile& file) {
    return file.strOwnPath + kFieldSeparator + file.strBackupPath + kFieldSeparator +
           file.strSetAsidePath;
}

std::optional<tagMovedFile> ParseJournalLine(std::string_view line) {
    const std::size_t first = line.find(kFieldSeparator);
    const std::size_t second =
        first == std::string_view::npos ? first : line.find(kFieldSeparator, first + 1);
    if (second == std::string_view::npos ||
        line.find(kFieldSeparator, second + 1) != std::string_view::npos) {
        return std::nullopt;
    }
    return tagMovedFile{std::string(line.substr(0, first)),
                        std::string(line.substr(first + 1, second - first - 1)),
                        std::string(line.substr(second + 1))};
}

std::string EncodeMoveJournal(const tagMoveJournal& journal) {
    std::string bytes = journal.strProductCode + '\0';
    for (const std::string& line : journal.lines) {
        bytes += line + '\0';
    }
    return bytes + '\0';
}

std::optional<tagMoveJournal> DecodeMoveJournal(std::string_view bytes) {
    // Strings up to the first empty one; a last string without its NUL still counts.
    std::vector<std::string> strings;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\0', at), bytes.size());
        if (end == at) {
            break;
        }
        strings.emplace_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    if (strings.empty()) {
        return std::nullopt;
    }
    tagMoveJournal journal;
    journal.strProductCode = strings.front();
    journal.lines.assign(strings.begin() + 1, strings.end());
    return journal;
}

JournalState ReadMoveJournal(tagMoveJournal& journal) {
    CRegKeyHandle key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kJournalKey, 0, KEY_QUERY_VALUE, key.Put()) !=
        ERROR_SUCCESS) {
        return JournalState::None;
    }
    DWORD type = 0;
    DWORD size = 0;
    const LSTATUS status =
        RegQueryValueExA(key.Get(), kJournalValue, nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        return JournalState::None;
    }
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ || size > kLargestJournal) {
        return JournalState::Unreadable;
    }
    std::string bytes(size, '\0');
    if (RegQueryValueExA(key.Get(), kJournalValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(bytes.data()), &size) != ERROR_SUCCESS ||
        size > bytes.size()) {
        return JournalState::Unreadable;
    }
    bytes.resize(size);
    std::optional<tagMoveJournal> decoded = DecodeMoveJournal(bytes);
    if (!decoded) {
        return JournalState::Unreadable;
    }
    journal = std::move(*decoded);
    return JournalState::Found;
}

bool WriteMoveJournal(const tagMoveJournal& journal) {
    CRegKeyHandle key;
    LSTATUS status =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kJournalKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.Put(), nullptr);
    if (status == ERROR_SUCCESS) {
        const std::string bytes = EncodeMoveJournal(journal);
        status = RegSetValueExA(key.Get(), kJournalValue, 0, REG_MULTI_SZ,
                                reinterpret_cast<const BYTE*>(bytes.data()),
                                static_cast<DWORD>(bytes.size()));
    }
    // Only a journal on disk may let a file move: after a power cut, a lazy write is none.
    if (status == ERROR_SUCCESS) {
        status = RegFlushKey(key.Get());
    }
    if (status != ERROR_SUCCESS) {
        TraceStatus("Journal Write Err", status);
        return false;
    }
    return true;
}

bool RemoveMoveJournal() {
    CRegKeyHandle key;
    LSTATUS status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kJournalKey, 0, KEY_SET_VALUE, key.Put());
    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueA(key.Get(), kJournalValue);
        if (status == ERROR_SUCCESS) {
            status = RegFlushKey(key.Get());
        }
    }
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        TraceStatus("Journal Delete Err", status);
        return false;
    }
    return true;
}

bool CMoveJournal::Record(const tagMovedFile& file) {
    if (m_bRefused) {
        return false;
    }
    if (!m_bWritten) {
        // Left for a later run (its installer may still be working): overwritten, it would
        // forget files that are still under their backup names.
        tagMoveJournal left;
        if (ReadMoveJournal(left) != JournalState::None) {
            TraceLine("Journal Remains");
            m_bRefused = true;
            return false;
        }
    }
    m_journal.lines.push_back(JournalLine(file));
    if (!WriteMoveJournal(m_journal)) {
        m_journal.lines.pop_back();
        m_bRefused = true;
        return false;
    }
    m_bWritten = true;
    return true;
}
