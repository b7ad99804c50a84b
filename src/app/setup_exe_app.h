// The update launcher's application object: its whole run happens in InitInstance.
#pragma once

#include "framework/win_app.h"

#include <string>

class CSetupExeApp : public CWinApp {
public:
    CSetupExeApp();
    ~CSetupExeApp() override;

    // Runs the launch from start to end; always FALSE, so the program ends without a window.
    BOOL InitInstance() override;

    std::string m_strExeDir;      // the launcher's folder, ending in "\"
    std::string m_strDatPath;     // the temporary copy of Install.dat, "" when none
    int m_nSilentMode = 0;        // 1 with "/silent1"
    std::string m_strLogFileName; // installer log named on the command line (silent mode)

private:
    void RunUpdate();
};
