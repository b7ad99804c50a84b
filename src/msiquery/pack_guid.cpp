#include "msiquery/pack_guid.h"

#include "text/split_string.h"
#include "text/mbstring.h"

#include <vector>

namespace {

// The characters of `text`, a double-byte character staying whole.
std::vector<std::string> Characters(std::string_view text) {
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < text.size(); at += text::CharLength(text, at)) {
        characters.emplace_back(text.substr(at, text::CharLength(text, at)));
    }
    return characters;
}

} // namespace

std::string PackGUID(std::string_view code) {
    const std::string upper = text::MakeUpper(code);
    std::string bare;
    for (const std::string& character : Characters(upper)) {
        if (character != "{" && character != "}") {
            bare += character;
        }
    }
    std::vector<std::string> groups;
    SplitString(bare, "-", groups);
    if (groups.size() < 5) {
        return "";
    }

    std::string packed;
    for (std::size_t group = 0; group < 3; ++group) {
        const std::vector<std::string> characters = Characters(groups[group]);
        for (auto character = characters.rbegin(); character != characters.rend(); ++character) {
            packed += *character;
        }
    }
    const std::vector<std::string> tail = Characters(groups[3] + groups[4]);
    if (tail.size() % 2 != 0) {
        return "";
    }
    for (std::size_t at = 0; at < tail.size(); at += 2) {
        packed += tail[at + 1];
        packed += tail[at];
    }
    return packed;
}
