// The update launcher's application object: its whole run happens in InitInstance.
#pragma once

#include "framework/win_app.h"

#include <optional>
#include <string>

class CSetupExeApp : public CWinApp {
public:
    CSetupExeApp();
    ~CSetupExeApp() override;

    // Runs the launch from start to end; always FALSE, so the program ends without a window.
    BOOL InitInstance() override;
    // The run's exit code (exit_codes.h).
    int ExitInstance() override;

    // Unattended mode ("/silent2"): silent, and nothing on the screen that waits for a person.
    bool IsUnattended() const { return m_nSilentMode == 2; }

    std::string m_strExeDir;      // the launcher's folder, ending in "\"
    std::string m_strDatPath;     // the temporary copy of Install.dat, "" when none
    int m_nSilentMode = 0;        // 1 with "/silent1", 2 with "/silent2"
    std::string m_strLogFileName; // installer log named on the command line (silent mode)
    // A "LOGFILENAME=" value that could not be used, as given.
    std::optional<std::string> m_strRejectedLogFileName;
    int m_nExitCode = 0; // what the run ends with

private:
    // The phases after the checks; the run's exit code.
    int RunUpdate();
};
