#include "readiness/link_address.h"

#include "os/win32api.h"
#include "text/mbstring.h"

#include <algorithm>

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const std::string head = text::MakeUpper(text.substr(0, std::string(prefix).size()));
    return head == text::MakeUpper(prefix);
}

bool IsHostCharacter(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           ch == '-' || ch == '.';
}

// "www.example.com" or "support.example.com/qernoe": a dotted host of letters, digits and
// hyphens, then an optional path of printable characters that a browser takes as they are.
bool IsBareHost(const std::string& text) {
    const std::string host = text.substr(0, text.find_first_of("/?#"));
    if (host.empty() || host.find('.') == std::string::npos || host.front() == '.' ||
        host.front() == '-' || host.back() == '.' || host.back() == '-') {
        return false;
    }
    return std::all_of(host.begin(), host.end(), IsHostCharacter) &&
           std::none_of(text.begin(), text.end(), [](unsigned char ch) {
               return ch <= ' ' || ch >= 0x7F || ch == '"' || ch == '<' || ch == '>' || ch == '\\';
           });
}

// A quote or a blank would end the address on the command line of the program the shell starts
// for it (a mail program, a browser) and hand the rest over as that program's own arguments.
// None of these bytes is ever the second byte of a double-byte character.
bool HoldsArgumentBreak(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](unsigned char ch) { return ch <= ' ' || ch == 0x7F || ch == '"'; });
}

} // namespace

tagLinkAddress GetLinkAddress(const std::string& text) {
    if (text.empty() || HoldsArgumentBreak(text)) {
        return {};
    }
    if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://") ||
        StartsWithNoCase(text, "mailto:")) {
        return {text, false};
    }
    // Any other scheme (file:, about:, a program's own protocol) stays closed.
    if (PathIsURLA(text.c_str()) == 1) {
        return {};
    }
    // "@" may be the second byte of a double-byte character: only a real one counts. With a "/"
    // it is part of a web address's path ("www.example.com/@team"), not a mail address.
    if (text::FindChar(text, '@') != text::npos && text::FindChar(text, '/') == text::npos) {
        return {"mailto:" + text, true};
    }
    if (IsBareHost(text)) {
        return {"http://" + text, false};
    }
    return {};
}
