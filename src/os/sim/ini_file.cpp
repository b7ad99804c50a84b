#include "os/sim/ini_file.h"

#include "os/sim/code_page.h"
#include "text/mbstring.h"

#include <algorithm>
#include <cstring>

namespace sim {
namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Names and values are C strings once read: whatever follows a NUL is lost. The cut comes after
// the trimming, so blanks in front of the NUL stay.
std::string CutAtNul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

// The lines of a text, one after the other, without their line breaks (CRLF, LF or CR). The
// breaks are found with memchr, each kind remembered until passed, so that a file with only one
// kind is not searched to its end for the other at every line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text), m_cr(Find('\r')), m_lf(Find('\n')) {}

    bool Next(std::string_view& line) {
        if (m_at >= m_text.size()) {
            return false;
        }
        if (m_cr < m_at) {
            m_cr = Find('\r');
        }
        if (m_lf < m_at) {
            m_lf = Find('\n');
        }
        const std::size_t end = std::min(m_cr, m_lf);
        line = m_text.substr(m_at, end - m_at);
        m_at = end + (end == m_cr && end + 1 == m_lf ? 2 : 1);
        return true;
    }

private:
    std::size_t Find(char ch) const {
        if (m_at >= m_text.size()) {
            return m_text.size();
        }
        const void* found = std::memchr(m_text.data() + m_at, ch, m_text.size() - m_at);
        return found == nullptr
                   ? m_text.size()
                   : static_cast<std::size_t>(static_cast<const char*>(found) - m_text.data());
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::size_t m_cr;
    std::size_t m_lf;
};

// The name in a section header line (trimmed, starting with "["): it ends at the first "]",
// what follows is ignored; a header without "]" runs to the end of the line.
std::string SectionName(std::string_view header) {
    const std::string_view inside = header.substr(1);
    const std::size_t close = text::FindChar(inside, ']');
    return CutAtNul(TrimBlanks(inside.substr(0, close == text::npos ? inside.size() : close)));
}

std::optional<IniLine> ParseLine(std::string_view line) {
    IniLine entry{IniLine::Kind::Bare, "", "", CutAtNul(line)};
    if (line[0] == ';') {
        entry.kind = IniLine::Kind::Comment;
    } else if (const std::size_t equals = text::FindChar(line, '='); equals != text::npos) {
        entry.kind = IniLine::Kind::Key;
        entry.key = CutAtNul(TrimBlanks(line.substr(0, equals)));
        entry.value = CutAtNul(TrimBlanks(line.substr(equals + 1)));
    } else if (entry.text.empty()) {
        return std::nullopt; // a line that starts with a NUL says nothing
    }
    return entry;
}

} // namespace

std::string IniFileText(std::string bytes) {
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') {
        return bytes;
    }
    std::u16string units((bytes.size() - 2) / 2, u'\0');
    for (std::size_t index = 0; index < units.size(); ++index) {
        units[index] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * index]) |
                                             static_cast<unsigned char>(bytes[3 + 2 * index]) << 8);
    }
    return Utf16ToCp932Lossy(units);
}

std::optional<IniSection> FindIniSection(std::string_view text, std::string_view name) {
    const std::string wanted = text::MakeUpper(name);
    std::optional<IniSection> found;
    LineReader lines(text);
    for (std::string_view raw; lines.Next(raw);) {
        const std::string_view line = TrimBlanks(raw);
        if (line.empty()) {
            continue;
        }
        if (line[0] == '[') {
            if (found) {
                break; // the section ends here; a repeated one is never read
            }
            if (std::string header = SectionName(line); text::MakeUpper(header) == wanted) {
                found = IniSection{std::move(header), {}};
            }
            continue;
        }
        if (found) {
            if (auto entry = ParseLine(line)) {
                found->lines.push_back(std::move(*entry));
            }
        }
    }
    return found;
}

std::string UnquoteIniValue(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace sim
