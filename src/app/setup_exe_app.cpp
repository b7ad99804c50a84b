#include "app/setup_exe_app.h"

#include "app/command_line.h"
#include "app/installer_atom.h"
#include "app/launch_phases.h"
#include "log/temp_folder.h"
#include "log/trace_log.h"
#include "text/mbstring.h"

#include <clocale>

namespace {

constexpr char kProductWord[] = "QernoE";
constexpr char kTraceFileName[] = "Install_Setup_Trace.log";

// The folder of the running program up to and including its last "\"; "" without one.
std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    if (!FitsBuffer(GetModuleFileNameA(nullptr, path, MAX_PATH), MAX_PATH)) {
        return "";
    }
    const std::string modulePath = path;
    const std::size_t lastBackslash = text::FindLastChar(modulePath, '\\');
    if (lastBackslash == text::npos) {
        return "";
    }
    return modulePath.substr(0, lastBackslash + 1);
}

} // namespace

CSetupExeApp::CSetupExeApp() : CWinApp(nullptr) {}

CSetupExeApp::~CSetupExeApp() = default;

BOOL CSetupExeApp::InitInstance() {
    std::setlocale(LC_ALL, "Japanese");
    CWinApp::InitInstance();

    m_nSilentMode = 0;
    m_strLogFileName.clear();
    if (m_lpCmdLine != nullptr && *m_lpCmdLine != '\0') {
        const tagCommandLineOptions options = ParseCommandLine(m_lpCmdLine);
        m_nSilentMode = options.nSilentMode;
        m_strLogFileName = options.strLogFileName;
    }

    CTraceLog traceLog;
    const std::string tempFolder = GetTempFolderLongForm();
    if (!tempFolder.empty()) {
        traceLog.Open((tempFolder + kTraceFileName).c_str(),
                      (std::string(kProductWord) + "_Update").c_str());
        g_pTraceLog = &traceLog;
    }

    if (GetKeyState(VK_SHIFT) < 0) {
        TraceLine("Shift Kido");
    }
    m_strExeDir = ExecutableFolder();

    TraceLine("Check MSIKido");
    if (GlobalFindAtomA(kInstallerAtomName) == 0) {
        RunUpdate();
    }

    if (g_pTraceLog != nullptr) {
        traceLog.Close();
        g_pTraceLog = nullptr;
    }
    return FALSE;
}

void CSetupExeApp::RunUpdate() {
    TraceLine("Copy DatFile");
    CopyDatFile(*this);

    TraceLine("Check WindowsInstaller2");
    if (!CheckInstallerEngine(*this)) {
        InstMSP(*this);
    }

    TraceLine("Delete LogFile");
    DeleteOldInstallLogs(kProductWord);

    TraceLine("Delete DatFile");
    DeleteDatFile(*this);
}
