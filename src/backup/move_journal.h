// The journal of the files a run moves aside, written before each move and removed once they
// are back. A run cut off midway (ended by a deployment tool, a logoff, a power cut) leaves it,
// and the next run of any account puts the files back from it. It lives in a registry value
// under HKLM\SOFTWARE: only administrators and SYSTEM write there, and a value is written
// whole or not at all.
#pragma once

#include "backup/backup_file.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a journal says: the product whose program folder was backed up, and one line per file
// that may have moved, as written. Nothing in it is trusted until checked against the product's
// registration.
struct tagMoveJournal {
    std::string strProductCode;
    std::vector<std::string> lines;
};

// A file's line: own path, "Bakup_" path and the older backup's set-aside path ("" when none),
// separated by tabs, which neither a path nor a code page 932 character can hold.
[[nodiscard]] std::string JournalLine(const tagMovedFile& file);
// The reverse; nullopt for a line that is not three fields.
[[nodiscard]] std::optional<tagMovedFile> ParseJournalLine(std::string_view line);

// The registry value's bytes (REG_MULTI_SZ: the product code, then the lines) and back; a value
// without a product code reads as nullopt. Read as untrusted: any bytes, any length.
[[nodiscard]] std::string EncodeMoveJournal(const tagMoveJournal& journal);
[[nodiscard]] std::optional<tagMoveJournal> DecodeMoveJournal(std::string_view bytes);

enum class JournalState { None, Found, Unreadable };
// Reads the journal left on this machine, if any.
[[nodiscard]] JournalState ReadMoveJournal(tagMoveJournal& journal);
// Writes the whole journal and flushes it to disk before returning; false (traced) when it could
// not be written, in which case nothing more may be moved.
[[nodiscard]] bool WriteMoveJournal(const tagMoveJournal& journal);
// Removes the journal (flushed); true when none is left.
bool RemoveMoveJournal();

// The journal of one run's moves: each file is recorded before it is moved, and a run that
// finds a journal still there (left for a later run) moves nothing.
class CMoveJournal {
public:
    // The product whose program folder the files are in; set before the first Record.
    void SetProductCode(std::string productCode) {
        m_journal.strProductCode = std::move(productCode);
    }

    // Records a file about to be moved (and its older backup about to be set aside); false
    // when it may not be moved.
    [[nodiscard]] bool Record(const tagMovedFile& file);
    bool IsWritten() const { return m_bWritten; }

private:
    tagMoveJournal m_journal;
    bool m_bWritten = false;
    bool m_bRefused = false;
};
