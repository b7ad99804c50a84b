// How Windows reads an INI file (GetPrivateProfileStringA / GetPrivateProfileSectionA), as the
// black-box studies in docs/windows-behaviour.md describe it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct IniLine {
    enum class Kind { Key, Bare, Comment };
    Kind kind;
    std::string key;   // Key: trimmed text before the first "="
    std::string value; // Key: trimmed text after it, quotes still on
    std::string text;  // the whole line, trimmed
};

struct IniSection {
    std::string name;
    std::vector<IniLine> lines; // blank lines left out
};

// The file as the A calls read it: a UTF-16LE file (byte-order mark FF FE) converted to code
// page 932 (an odd last byte is dropped); any other file as it is. A UTF-8 or UTF-16 big-endian
// mark is not recognised: it stays in front of the first line.
std::string IniFileText(std::string bytes);

// The first section called `name` (in any case), or nullopt. Lines before the first section
// header belong to no section. A NUL byte ends the name or value it is in; the rest of its line
// is ignored. Only the lines of the section found are taken apart, so that a huge file costs
// one pass over its bytes.
std::optional<IniSection> FindIniSection(std::string_view text, std::string_view name);

// A quoted value ('...' or "...", two characters at least, same quote at both ends) loses one
// pair of quotes.
std::string UnquoteIniValue(const std::string& value);

} // namespace sim
