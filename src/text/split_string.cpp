#include "text/split_string.h"

#include "text/mbstring.h"

void SplitString(std::string_view text, std::string_view delimiters,
                 std::vector<std::string>& parts) {
    std::string current;
    for (std::size_t at = 0; at < text.size(); at += text::CharLength(text, at)) {
        const std::size_t length = text::CharLength(text, at);
        if (length == 1 && delimiters.find(text[at]) != std::string_view::npos) {
            if (!current.empty()) {
                parts.push_back(std::move(current));
            }
            current.clear();
        } else {
            current.append(text.substr(at, length));
        }
    }
    if (!current.empty()) {
        parts.push_back(std::move(current));
    }
}
