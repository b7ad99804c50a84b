// The update launcher's application object: its whole run happens in InitInstance.
#pragma once

#include "framework/win_app.h"
#include "run/launch_context.h"

class CSetupExeApp : public CWinApp {
public:
    CSetupExeApp();
    ~CSetupExeApp() override;

    // Runs the launch from start to end; always FALSE, so the program ends without a window.
    BOOL InitInstance() override;
    // The run's exit code (run/exit_codes.h).
    int ExitInstance() override;

    // What the run's parts read of how it was started: the launcher's folder, the settings
    // copy, the mode and log names from the command line.
    tagLaunchContext m_context;
    int m_nExitCode = 0; // what the run ends with

private:
    // The phases after the checks; the run's exit code.
    int RunUpdate();
};
