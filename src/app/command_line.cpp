#include "app/command_line.h"

#include "text/mbstring.h"

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

    // The option is expected to lead the command line, so the key is looked for after it.
    const std::string_view rest = cmdLine.substr(kSilentOption.size());
    const std::size_t key = text::FindString(rest, kLogFileKey);
    if (key == text::npos) {
        return options;
    }
    std::string value(rest.substr(key + kLogFileKey.size()));
    if (text::FindChar(value, '"') != text::npos) {
        // A quoted path loses its quotes. Blanks after the closing quote are dropped first, or
        // the quote would stay in the path and name a file nobody asked for.
        value = text::TrimRightSpace(value);
        value = value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string();
    }
    options.strLogFileName = value;
    return options;
}
