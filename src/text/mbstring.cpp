#include "text/mbstring.h"

namespace text {

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t CharLength(std::string_view text, std::size_t at) {
    if (IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) {
        return 2;
    }
    return 1;
}

std::size_t FindString(std::string_view text, std::string_view needle) {
    if (needle.empty()) {
        return 0;
    }
    for (std::size_t at = 0; at < text.size(); at += CharLength(text, at)) {
        if (text.compare(at, needle.size(), needle) == 0) {
            return at;
        }
    }
    return npos;
}

std::size_t FindChar(std::string_view text, char ch) {
    for (std::size_t at = 0; at < text.size(); at += CharLength(text, at)) {
        if (text[at] == ch && CharLength(text, at) == 1) {
            return at;
        }
    }
    return npos;
}

std::size_t FindLastChar(std::string_view text, char ch) {
    std::size_t found = npos;
    for (std::size_t at = 0; at < text.size(); at += CharLength(text, at)) {
        if (text[at] == ch && CharLength(text, at) == 1) {
            found = at;
        }
    }
    return found;
}

bool IsSpace(unsigned char byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

std::string TrimLeftSpace(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    return std::string(text.substr(at));
}

std::string TrimRightSpace(std::string_view text) {
    // Walk forward so that the end of the last non-blank character is known exactly; a second
    // byte is never white space in code page 932, but a lone trailing lead byte must stay.
    std::size_t keep = 0;
    for (std::size_t at = 0; at < text.size(); at += CharLength(text, at)) {
        if (CharLength(text, at) == 2 || !IsSpace(static_cast<unsigned char>(text[at]))) {
            keep = at + CharLength(text, at);
        }
    }
    return std::string(text.substr(0, keep));
}

std::string TrimSpace(std::string_view text) {
    return TrimRightSpace(TrimLeftSpace(text));
}

int CompareMb(std::string_view left, std::string_view right) {
    std::size_t l = 0;
    std::size_t r = 0;
    while (l < left.size() && r < right.size()) {
        auto code = [](std::string_view text, std::size_t at) {
            const auto first = static_cast<unsigned char>(text[at]);
            if (CharLength(text, at) == 2) {
                return (first << 8) | static_cast<unsigned char>(text[at + 1]);
            }
            return static_cast<int>(first);
        };
        const int difference = code(left, l) - code(right, r);
        if (difference != 0) {
            return difference;
        }
        l += CharLength(left, l);
        r += CharLength(right, r);
    }
    return static_cast<int>(l < left.size()) - static_cast<int>(r < right.size());
}

std::string MakeUpper(std::string_view text) {
    std::string result(text);
    for (std::size_t at = 0; at < result.size(); at += CharLength(result, at)) {
        if (CharLength(result, at) == 1 && result[at] >= 'a' && result[at] <= 'z') {
            result[at] = static_cast<char>(result[at] - 'a' + 'A');
        }
    }
    return result;
}

} // namespace text
