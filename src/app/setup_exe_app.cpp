#include "app/setup_exe_app.h"

#include "app/command_line.h"
#include "app/installer_atom.h"
#include "app/launch_phases.h"
#include "log/trace_log.h"
#include "text/mbstring.h"

#include <clocale>

namespace {

constexpr char kProductWord[] = "QernoE";
constexpr char kTraceFileName[] = "Install_Setup_Trace.log";

// A call that reports the size it would need has failed just as one that returns 0.
bool Fits(DWORD result, DWORD bufferSize) {
    return result != 0 && result < bufferSize;
}

// The user's temporary folder in its long form, ending in "\"; "" when Windows has none.
std::string TemporaryFolder() {
    char folder[MAX_PATH] = {};
    if (!Fits(GetTempPathA(MAX_PATH, folder), MAX_PATH)) {
        return "";
    }
    char longFolder[MAX_PATH] = {};
    if (Fits(GetLongPathNameA(folder, longFolder, MAX_PATH), MAX_PATH)) {
        return longFolder;
    }
    return folder;
}

// The folder of the running program up to and including its last "\"; "" without one.
std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    if (!Fits(GetModuleFileNameA(nullptr, path, MAX_PATH), MAX_PATH)) {
        return "";
    }
    const std::string modulePath = path;
    const std::size_t lastBackslash = text::FindLastChar(modulePath, '\\');
    if (lastBackslash == text::npos) {
        return "";
    }
    return modulePath.substr(0, lastBackslash + 1);
}

void WriteTrace(LPCSTR text) {
    if (g_pTraceLog != nullptr) {
        g_pTraceLog->WriteLine(text);
    }
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
    const std::string tempFolder = TemporaryFolder();
    if (!tempFolder.empty()) {
        traceLog.Open((tempFolder + kTraceFileName).c_str(),
                      (std::string(kProductWord) + "_Update").c_str());
        g_pTraceLog = &traceLog;
    }

    if (GetKeyState(VK_SHIFT) < 0) {
        WriteTrace("Shift Kido");
    }
    m_strExeDir = ExecutableFolder();

    WriteTrace("Check MSIKido");
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
    WriteTrace("Copy DatFile");
    CopyDatFile(*this);

    WriteTrace("Check WindowsInstaller2");
    if (!CheckInstallerEngine(*this)) {
        InstMSP(*this);
    }

    WriteTrace("Delete LogFile");
    DeleteOldInstallLogs(kProductWord);

    WriteTrace("Delete DatFile");
    DeleteDatFile(*this);
}
