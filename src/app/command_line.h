#pragma once

#include <string>
#include <string_view>

// What the launcher takes from its command line; everything else on it is the installer's.
struct tagCommandLineOptions {
    int nSilentMode = 0;        // 1 with "/silent1", 2 with "/silent2"
    std::string strLogFileName; // "LOGFILENAME=" value, silent mode only
};

// "/silent1" anywhere switches to silent mode, "/silent2" anywhere to unattended mode (silent,
// and no window at all); then "LOGFILENAME=", expected last, names the installer log. Nothing
// is ever rejected.
tagCommandLineOptions ParseCommandLine(std::string_view cmdLine);
