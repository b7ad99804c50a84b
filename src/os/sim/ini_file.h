// How Windows reads an INI file (GetPrivateProfileStringA / GetPrivateProfileSectionA), as the
// black-box studies in notes/win32-semantics.md describe it.
#pragma once

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

// Lines before the first section header belong to no section and are dropped. A UTF-8 byte
// order mark is not recognised: it stays in front of the first line.
std::vector<IniSection> ParseIni(std::string_view bytes);

// A quoted value ('...' or "...", two characters at least, same quote at both ends) loses one
// pair of quotes.
std::string UnquoteIniValue(const std::string& value);

// Blanks (space and tab) at both ends.
std::string TrimIniBlanks(std::string_view text);

} // namespace sim
