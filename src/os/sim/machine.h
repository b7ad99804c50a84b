// The simulated Windows machine that tests set up and inspect. Creating a Machine makes it the
// one the simulated calls act on until it is destroyed (machines nest; the newest wins).
#pragma once

#include "os/sim/clock.h"
#include "os/sim/file_system.h"
#include "os/sim/installer.h"
#include "os/sim/processes.h"
#include "os/sim/registry.h"
#include "os/sim/user_interface.h"
#include "os/sim/sim_api.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// WinVerifyTrust states not yet closed, of every machine.
std::size_t OpenTrustStates();

class Machine {
public:
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // The machine the simulated calls act on; aborts when no machine exists.
    static Machine& Current();

    FileSystem& Files() { return m_files; }
    Clock& Time() { return m_clock; }
    Registry& Keys() { return m_registry; }
    Installer& Msi() { return m_installer; }
    UserInterface& Ui() { return m_ui; }
    Processes& Programs() { return m_processes; }

    // Message boxes shown, in order; each is answered OK.
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return m_messageBoxes; }
    void RecordMessageBox(MessageBoxRecord box) {
        Log("message box " + box.caption);
        m_messageBoxes.push_back(std::move(box));
    }

    // What happened, in order, for tests that care about the order of different things
    // (message boxes, process starts, file moves).
    void Log(std::string event) { m_events.push_back(std::move(event)); }
    const std::vector<std::string>& Events() const { return m_events; }

    // Writes a package or patch file the simulated installer can open.
    void WritePackage(std::string_view path, const MsiPackage& package) {
        m_files.WriteFile(path, package.Encode());
    }

    // "C:\Windows" and its "System32"; they exist from the start.
    const std::string& WindowsFolder() const { return m_windowsFolder; }
    // The system folder GetSystemDirectoryA reports; nullopt makes it fail.
    void SetSystemFolder(std::optional<std::string> folder) { m_systemFolder = std::move(folder); }
    const std::optional<std::string>& SystemFolder() const { return m_systemFolder; }

    // The Windows version the system reports (default: Windows 10, NT platform).
    struct WindowsVersion {
        DWORD major = 10;
        DWORD minor = 0;
        DWORD build = 19045;
        DWORD platform = VER_PLATFORM_WIN32_NT;
        WORD servicePackMajor = 0;
    };
    void SetWindowsVersion(WindowsVersion version) { m_windowsVersion = version; }
    const WindowsVersion& GetWindowsVersion() const { return m_windowsVersion; }
    // How often VerifyVersionInfoA was asked.
    int VersionChecks() const { return m_versionChecks; }
    void CountVersionCheck() { ++m_versionChecks; }

    // The next number GetTempFileNameA tries (Windows starts from the tick count).
    void SetNextTempNumber(UINT number) { m_nextTempNumber = number; }
    UINT TakeTempNumber() { return m_nextTempNumber++; }

    // File searches that have not been closed with FindClose.
    void* OpenFind(std::vector<WIN32_FIND_DATAA> entries);
    bool NextFind(void* handle, WIN32_FIND_DATAA& data);
    bool CloseFind(void* handle);
    std::size_t OpenFinds() const { return m_finds.size(); }

    // The folder GetTempPathA reports; nullopt makes the call fail.
    void SetTempPath(std::optional<std::string> path) { m_tempPath = std::move(path); }
    const std::optional<std::string>& TempPath() const { return m_tempPath; }

    // Path of the running program, as GetModuleFileNameA(NULL) reports it.
    void SetModulePath(std::string path) { m_modulePath = std::move(path); }
    const std::string& ModulePath() const { return m_modulePath; }

    void SetKeyDown(int virtualKey, bool down);
    bool IsKeyDown(int virtualKey) const { return m_keysDown.count(virtualKey) != 0; }

    // Global atoms, shared by every process of the machine; names match case-insensitively.
    ATOM AddAtom(std::string_view name);
    ATOM FindAtom(std::string_view name) const;
    bool DeleteAtom(ATOM atom);

    // Named mutexes, shared by every process of the machine: a name exists while a handle to
    // it is open. A mutex is owned through one handle, as if each handle were another process's
    // thread: a test holds one as another process would by creating it through the door. A
    // denied name is one another user's process made with security that keeps us out.
    HANDLE OpenMutex(const std::string& name, bool takeOwnership, bool& existed, DWORD& error);
    bool IsMutex(HANDLE handle) const { return m_mutexHandles.count(handle) != 0; }
    // A wait on the mutex: WAIT_OBJECT_0 or WAIT_ABANDONED when this handle now owns it,
    // WAIT_TIMEOUT when another owns it.
    DWORD WaitMutex(HANDLE handle);
    bool ReleaseMutex(HANDLE handle);
    // Closing the owning handle without a release abandons the mutex, as its owner's death does.
    bool CloseMutex(HANDLE handle);
    void DenyMutex(const std::string& name) { m_deniedMutexes.insert(name); }
    std::size_t OpenMutexHandles() const { return m_mutexHandles.size(); }
    // Whether the named mutex is owned through some handle.
    bool IsMutexOwned(const std::string& name) const;

    // Files the program opened with CreateFileA, until CloseHandle; other processes' opens
    // (FileSystem::HoldOpen) meet them in the sharing checks.
    HANDLE AddFileHandle(std::unique_ptr<OpenFile> open);
    bool CloseFileHandle(HANDLE handle) { return m_fileHandles.erase(handle) != 0; }
    std::size_t OpenFileHandles() const { return m_fileHandles.size(); }

    // The process error mode (SetErrorMode); started programs inherit it.
    UINT ErrorMode() const { return m_errorMode; }
    void SetErrorMode(UINT mode) { m_errorMode = mode; }

    // System message texts (FormatMessageA, system table); nullopt removes a text.
    void SetSystemMessage(DWORD code, std::optional<std::string> message);
    std::optional<std::string> SystemMessage(DWORD code) const;

    // A power cut, for runs cut off midway. Every simulated call that changes what outlives a
    // restart (a file created, written, moved, deleted or given attributes; a registry key or
    // value written or deleted; a program started) first asks ChangeState, which lists it.
    // With CutPowerAt(k), the k-th such change (1-based, counted from the last restart) and
    // every one after it take no effect and fail: the machine keeps its state as of the cut,
    // whatever the cut-off program goes on to do. Restart() boots it again.
    void CutPowerAt(std::size_t change) { m_cutAt = change; }
    [[nodiscard]] bool ChangeState(std::string what);
    bool IsPowerCut() const { return m_cutAt != 0 && m_changes.size() >= m_cutAt; }
    // The changes asked for since the last restart, the refused ones included.
    const std::vector<std::string>& StateChanges() const { return m_changes; }
    void Restart() {
        m_cutAt = 0;
        m_changes.clear();
    }
    // Wine 8's WinVerifyTrust accepts a chain that ends in an untrusted root (the Authenticode
    // chain policy still refuses it); Windows' refuses it itself, as the machine does by default.
    void SetTrustAcceptsUntrustedRoots(bool accepts) { m_trustAcceptsUntrustedRoots = accepts; }
    bool TrustAcceptsUntrustedRoots() const { return m_trustAcceptsUntrustedRoots; }

    // Whether a named mutex exists (some handle to it is open).
    bool MutexExists(const std::string& name) const;

    // LocalAlloc blocks that are still alive, so tests can prove every one was freed.
    void* AllocateLocal(std::size_t bytes);
    bool FreeLocal(void* block);
    std::size_t LiveLocalBlocks() const { return m_localBlocks.size(); }

private:
    Machine* m_previous;
    Clock m_clock;
    FileSystem m_files{m_clock};
    std::optional<std::string> m_tempPath;
    std::string m_modulePath;
    std::set<int> m_keysDown;
    std::map<ATOM, std::string> m_atoms;
    struct MutexObject {
        std::string name;
        HANDLE owner = nullptr;
        bool abandoned = false;
    };
    struct MutexHandle {
        std::shared_ptr<MutexObject> object;
    };
    std::map<HANDLE, std::unique_ptr<MutexHandle>> m_mutexHandles;
    // After m_files: closed before the file system goes.
    std::map<HANDLE, std::unique_ptr<OpenFile>> m_fileHandles;
    UINT m_errorMode = 0;
    std::set<std::string> m_deniedMutexes;
    std::map<DWORD, std::string> m_messages;
    std::set<void*> m_localBlocks;
    std::string m_windowsFolder = "C:\\Windows";
    UINT m_nextTempNumber = 0x1A2B;
    Registry m_registry;
    Installer m_installer;
    UserInterface m_ui;
    Processes m_processes;
    std::vector<MessageBoxRecord> m_messageBoxes;
    std::vector<std::string> m_events;
    std::optional<std::string> m_systemFolder = "C:\\Windows\\System32";
    WindowsVersion m_windowsVersion;
    int m_versionChecks = 0;
    std::size_t m_cutAt = 0;
    bool m_trustAcceptsUntrustedRoots = false;
    std::vector<std::string> m_changes;
    struct Find {
        std::vector<WIN32_FIND_DATAA> entries;
        std::size_t next = 0;
    };
    std::map<void*, std::unique_ptr<Find>> m_finds;
};

} // namespace sim
