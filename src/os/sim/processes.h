// Programs the simulated machine starts through the shell: each start is recorded, and a
// scripted child program runs in its place (it may change the machine: write files, register
// an applied patch) and leaves an exit code. Process handles are counted.
#pragma once

#include "os/sim/sim_api.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class Machine;

struct ProcessStart {
    std::string file;
    std::optional<std::string> verb;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    ULONG mask = 0;
    int show = 0;
    UINT errorMode = 0; // inherited from the process that started it
};

class Processes {
public:
    // What the started program does; returns its exit code. Without one, it does nothing and
    // exits with 0.
    using ChildProgram = std::function<DWORD(Machine&, const ProcessStart&)>;
    void SetChildProgram(ChildProgram program) { m_program = std::move(program); }

    // How the shell answers the next starts.
    enum class Outcome { Started, Refused, NoProcessHandle };
    void SetOutcome(Outcome outcome) { m_outcome = outcome; }
    Outcome GetOutcome() const { return m_outcome; }

    const std::vector<ProcessStart>& Starts() const { return m_starts; }
    std::size_t OpenHandles() const { return m_handles.size(); }

    // For the simulated calls.
    HANDLE Start(Machine& machine, ProcessStart start, bool keepHandle);
    bool IsProcess(HANDLE handle) const { return m_handles.count(handle) != 0; }
    // The exit code of an ended process; false for a handle that is no process.
    bool ExitCode(HANDLE handle, DWORD& exitCode) const;
    // GetExitCodeProcess fails from now on, as for a handle without query access.
    void SetExitCodeUnreadable(bool unreadable) { m_exitCodeUnreadable = unreadable; }
    bool Close(HANDLE handle);

private:
    struct Process {
        DWORD exitCode = 0;
    };
    ChildProgram m_program;
    Outcome m_outcome = Outcome::Started;
    bool m_exitCodeUnreadable = false;
    std::vector<ProcessStart> m_starts;
    std::map<HANDLE, std::unique_ptr<Process>> m_handles;
};

struct MessageBoxRecord {
    std::string caption;
    std::string text;
    UINT style = 0;
};

} // namespace sim
