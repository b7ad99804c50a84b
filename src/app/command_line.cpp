#include "app/command_line.h"

#include "text/mbstring.h"

#include <algorithm>

namespace {
constexpr std::string_view kSilentOption = "/silent1";
constexpr std::string_view kUnattendedOption = "/silent2";
constexpr std::string_view kLogFileKey = "LOGFILENAME=";

bool IsAsciiLetter(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

// A path the installer can create its log under. A quote left inside would end the path's
// quoted argument on the installer's command line and carry the rest into it; the other
// characters no file name may hold make msiexec fail without applying the patch. Walked by
// character: a second byte may be any of them (ポ is 0x83 0x7C, 表 is 0x95 0x5C).
bool IsUsableLogPath(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    char last = '\0';
    for (std::size_t at = 0; at < path.size(); at += text::CharLength(path, at)) {
        last = '\0';
        if (text::CharLength(path, at) != 1) {
            continue;
        }
        const char ch = path[at];
        if (static_cast<unsigned char>(ch) < 0x20 ||
            std::string_view("\"<>|?*").find(ch) != std::string_view::npos) {
            return false;
        }
        // Only the colon after a drive letter; another names a stream or nothing at all.
        if (ch == ':' && !(at == 1 && IsAsciiLetter(path[0]))) {
            return false;
        }
        last = ch;
    }
    // A folder, not a file.
    return last != '\\' && last != '/';
}
} // namespace

tagCommandLineOptions ParseCommandLine(std::string_view cmdLine) {
    tagCommandLineOptions options;
    // Unattended mode includes silent mode, so it wins when both are given.
    if (text::FindString(cmdLine, kUnattendedOption) != text::npos) {
        options.nSilentMode = 2;
    } else if (text::FindString(cmdLine, kSilentOption) != text::npos) {
        options.nSilentMode = 1;
    } else {
        return options;
    }

    // The option is expected to lead the command line, so the key is looked for after its
    // eight characters (whole characters: a key must never start on a second byte).
    std::size_t skipped = 0;
    for (std::size_t count = 0; count < kSilentOption.size() && skipped < cmdLine.size(); ++count) {
        skipped += text::CharLength(cmdLine, skipped);
    }
    const std::string_view rest = cmdLine.substr(std::min(skipped, cmdLine.size()));
    const std::size_t key = text::FindString(rest, kLogFileKey);
    if (key == text::npos) {
        return options;
    }
    const std::string given(rest.substr(key + kLogFileKey.size()));
    // Blanks after the closing quote go first, or the quote would stay in the path.
    std::string path = text::TrimRightSpace(given);
    if (path.size() >= 2 && path.front() == '"' &&
        text::FindLastChar(path, '"') == path.size() - 1) {
        path = path.substr(1, path.size() - 2);
    }
    if (!IsUsableLogPath(path)) {
        options.strRejectedLogFileName = given;
        return options;
    }
    options.strLogFileName = path;
    return options;
}
