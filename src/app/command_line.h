#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the launcher takes from its command line; everything else on it is the installer's.
struct tagCommandLineOptions {
    int nSilentMode = 0;        // 1 with "/silent1", 2 with "/silent2"
    std::string strLogFileName; // "LOGFILENAME=" value, silent mode only; "" when not usable
    // The value as given when it could not be used as a log file's path.
    std::optional<std::string> strRejectedLogFileName;
};

// "/silent1" anywhere switches to silent mode, "/silent2" anywhere to unattended mode (silent,
// and no window at all); then "LOGFILENAME=", expected last, names the installer log: trailing
// blanks go, then one pair of quotes around the whole value. A value that is then empty, holds a
// quote, a control character or one of < > | ? *, a ":" other than a drive's, or ends in "\" or
// "/" is not used. Nothing else is ever rejected.
[[nodiscard]] tagCommandLineOptions ParseCommandLine(std::string_view cmdLine);
