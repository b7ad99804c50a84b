#include "app/setup_exe_app.h"

#include "app/command_line.h"
#include "app/installer_atom.h"
#include "app/launcher_lock.h"
#include "backup/recover_file.h"
#include "log/install_log.h"
#include "log/temp_folder.h"
#include "log/trace_log.h"
#include "patch/inst_msp.h"
#include "patch/patch_trust.h"
#include "readiness/installer_engine_check.h"
#include "run/exit_codes.h"
#include "run/user_message.h"
#include "settings/dat_file.h"
#include "text/mbstring.h"

#include <clocale>
#include <vector>

namespace {

constexpr char kProductWord[] = "QernoE";
constexpr char kTraceFileName[] = "Install_Setup_Trace.log";
// The longest path Windows gives a module, so that media in a deep folder still work.
constexpr DWORD kModulePathSize = 32768;
constexpr int kTraceNoFolderInPath = 1190;

// The running program's path and its folder up to and including its last "\"; false without
// one. The current folder is never a stand-in: it could hold any Install.dat and MSP\.
bool ReadExecutableFolder(std::string& exePath, std::string& folder) {
    std::vector<char> path(kModulePathSize, '\0');
    if (!FitsBuffer(GetModuleFileNameA(nullptr, path.data(), kModulePathSize), kModulePathSize)) {
        TraceLastError("GetModuleFileName Err");
        return false;
    }
    const std::string modulePath = path.data();
    const std::size_t lastBackslash = text::FindLastChar(modulePath, '\\');
    if (lastBackslash == text::npos) {
        TraceCode(kTraceNoFolderInPath);
        return false;
    }
    folder = modulePath.substr(0, lastBackslash + 1);
    exePath = modulePath;
    return true;
}

// The system's own boxes, which the installer inherits with the mode. In every mode no "insert a
// disk" box: a search of media that have gone away (a drive emptied, a share dropped) fails
// like any other, the launcher reports it in its own words, and a person at the screen could
// not make the run go on anyway. Unattended, neither the crash dialog nor the box for a file
// that cannot be opened: nobody may be there to close them, and the run would never end.
void SetProcessErrorMode(int nSilentMode) {
    UINT mode = SEM_FAILCRITICALERRORS;
    if (nSilentMode == 2) {
        mode |= SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;
    }
    SetErrorMode(mode);
}

} // namespace

CSetupExeApp::CSetupExeApp() : CWinApp(nullptr) {}

CSetupExeApp::~CSetupExeApp() = default;

BOOL CSetupExeApp::InitInstance() {
    std::setlocale(LC_ALL, "Japanese");
    CWinApp::InitInstance();

    m_context = tagLaunchContext{};
    if (m_lpCmdLine != nullptr && *m_lpCmdLine != '\0') {
        m_context.strCmdLine = m_lpCmdLine;
        const tagCommandLineOptions options = ParseCommandLine(m_lpCmdLine);
        m_context.nSilentMode = options.nSilentMode;
        m_context.strLogFileName = options.strLogFileName;
        m_context.strRejectedLogFileName = options.strRejectedLogFileName;
    }
    SetProcessErrorMode(m_context.nSilentMode);

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
    const bool knowsOwnFolder = ReadExecutableFolder(m_context.strExePath, m_context.strExeDir);
    // Kept until the run has ended: see HoldLauncherFile.
    CFileHandle ownFile;
    if (knowsOwnFolder) {
        ownFile = HoldLauncherFile(m_context.strExePath);
        m_context.bExeHeld = ownFile.IsValid();
    }

    TraceLine("Check MSIKido");
    // Owned until the run has ended, after the trace is closed.
    COwnedMutex launcherLock;
    if (GlobalFindAtomA(kInstallerAtomName) != 0) {
        m_nExitCode = ExitCodeAlreadyRunning;
    } else if (!TakeLauncherLock(launcherLock)) {
        TraceLine("Setup Running");
        m_nExitCode = ExitCodeAlreadyRunning;
    } else {
        // First of all, whatever this run's outcome: files a cut-off run left moved aside.
        RecoverFile();
        if (!knowsOwnFolder) {
            ShowWarningBox(m_context, kProductCaption, kLaunchFailureText);
            m_nExitCode = ExitCodeMediaUnusable;
        } else {
            m_nExitCode = RunUpdate();
        }
    }
    // Unsigned, as Windows shows exit codes and as "Process ExitCode" has it: a crashed
    // installer's 0xC0000005 reads 3221225477 in both lines.
    TraceLine("Setup ExitCode=" + std::to_string(static_cast<DWORD>(m_nExitCode)));

    if (g_pTraceLog != nullptr) {
        traceLog.Close();
        g_pTraceLog = nullptr;
    }
    return FALSE;
}

int CSetupExeApp::ExitInstance() {
    return m_nExitCode;
}

int CSetupExeApp::RunUpdate() {
    TraceLine("Copy DatFile");
    CopyDatFile(m_context);

    TraceLine("Check WindowsInstaller2");
    const EngineCheck check = CheckInstallerEngine(m_context);
    const int exitCode = check == EngineCheck::GoOn ? InstMSP(m_context) : static_cast<int>(check);

    TraceLine("Delete LogFile");
    DeleteOldInstallLogs(kProductWord);

    TraceLine("Delete DatFile");
    DeleteDatFile(m_context);
    return exitCode;
}
