#include "os/sim/processes.h"

#include "os/sim/machine.h"

namespace sim {

HANDLE Processes::Start(Machine& machine, ProcessStart start, bool keepHandle) {
    m_starts.push_back(start);
    machine.Log("start " + start.file + " " + start.parameters.value_or(""));
    // The child runs to its end at once; the launcher's wait then finds it ended.
    auto process = std::make_unique<Process>();
    process->exitCode = m_program ? m_program(machine, start) : 0;
    if (!keepHandle) {
        return nullptr;
    }
    HANDLE handle = process.get();
    m_handles[handle] = std::move(process);
    return handle;
}

bool Processes::ExitCode(HANDLE handle, DWORD& exitCode) const {
    auto found = m_handles.find(handle);
    if (found == m_handles.end() || m_exitCodeUnreadable) {
        return false;
    }
    exitCode = found->second->exitCode;
    return true;
}

bool Processes::Close(HANDLE handle) {
    return m_handles.erase(handle) != 0;
}

} // namespace sim
