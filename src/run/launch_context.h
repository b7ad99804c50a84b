// What the parts of a run need to know of how it was started: set up by the launch before they
// run, then only read.
#pragma once

#include <optional>
#include <string>

struct tagLaunchContext {
    std::string strExeDir;  // the launcher's folder, ending in "\"
    std::string strExePath; // the launcher's own file
    // Its own file is held for the whole run, so that nobody can change, replace or rename it:
    // the signature read later is that of the program the user started.
    bool bExeHeld = false;
    std::string strDatPath;     // the run's copy of Install.dat, "" when none was made
    int nSilentMode = 0;        // 1 with "/silent1", 2 with "/silent2"
    std::string strLogFileName; // installer log named on the command line (silent mode)
    // A "LOGFILENAME=" value that could not be used, as given.
    std::optional<std::string> strRejectedLogFileName;
    std::string strCmdLine; // the command line after the program name

    // Unattended mode ("/silent2"): silent, and nothing on the screen that waits for a person.
    bool IsUnattended() const { return nSilentMode == 2; }
};
