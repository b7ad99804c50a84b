#include "app/command_line.h"

#include "text/mbstring.h"

#include <algorithm>

namespace {
constexpr std::string_view kSilentOption = "/silent1";
constexpr std::string_view kUnattendedOption = "/silent2";
constexpr std::string_view kLogFileKey = "LOGFILENAME=";
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
    // A quote left inside would end the path's quoted argument on the installer's command line
    // and carry the rest into it.
    if (path.empty() || text::FindChar(path, '"') != text::npos) {
        options.strRejectedLogFileName = given;
        return options;
    }
    options.strLogFileName = path;
    return options;
}
