#include "os/sim/ini_file.h"

#include "text/mbstring.h"

namespace sim {
namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] == '\r' || bytes[at] == '\n') {
            lines.push_back(bytes.substr(start, at - start));
            if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') {
                ++at;
            }
            start = at + 1;
        }
    }
    if (start < bytes.size()) {
        lines.push_back(bytes.substr(start));
    }
    return lines;
}

} // namespace

std::string TrimIniBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(begin, end - begin));
}

std::string UnquoteIniValue(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::vector<IniSection> ParseIni(std::string_view bytes) {
    std::vector<IniSection> sections;
    for (std::string_view raw : SplitLines(bytes)) {
        const std::string line = TrimIniBlanks(raw);
        if (line.empty()) {
            continue;
        }
        if (line[0] == '[') {
            // The name ends at the first "]"; what follows it is ignored. A header without "]"
            // runs to the end of the line.
            const std::string_view inside = std::string_view(line).substr(1);
            const std::size_t close = text::FindChar(inside, ']');
            sections.push_back(
                {TrimIniBlanks(inside.substr(0, close == text::npos ? inside.size() : close)), {}});
            continue;
        }
        if (sections.empty()) {
            continue;
        }
        IniLine entry{IniLine::Kind::Bare, "", "", line};
        if (line[0] == ';') {
            entry.kind = IniLine::Kind::Comment;
        } else if (const std::size_t equals = text::FindChar(line, '='); equals != text::npos) {
            entry.kind = IniLine::Kind::Key;
            entry.key = TrimIniBlanks(std::string_view(line).substr(0, equals));
            entry.value = TrimIniBlanks(std::string_view(line).substr(equals + 1));
        }
        sections.back().lines.push_back(std::move(entry));
    }
    return sections;
}

} // namespace sim
