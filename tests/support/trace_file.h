// Reading the launcher's trace file out of a simulated machine.
#pragma once

#include "log/trace_log.h"
#include "os/sim/machine.h"

#include <functional>
#include <string>
#include <vector>

namespace test {

constexpr char kTempFolder[] = "C:\\Users\\user\\AppData\\Local\\Temp\\";
constexpr char kTracePath[] = "C:\\Users\\user\\AppData\\Local\\Temp\\Install_Setup_Trace.log";

// The run lines at the simulated clock's default time.
constexpr char kStart[] = "QernoE_Update-Start 2026/12/07 22:24:38";
constexpr char kEnd[] = "QernoE_Update-End 2026/12/07 22:24:38";

// The file's bytes, or "<missing>".
inline std::string ReadTrace(sim::Machine& machine, const std::string& path = kTracePath) {
    return machine.Files().ReadFile(path).value_or("<missing>");
}

// Lines joined the way the text-mode stream writes them.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += line + "\r\n";
    }
    return joined;
}

// Runs `work` inside a run of the trace log, with the last error 0, and returns the lines it
// wrote (the run's own start and end lines taken off).
inline std::string TraceOf(sim::Machine& machine, const std::function<void()>& work) {
    machine.Files().WriteFile(kTracePath, "");
    {
        CTraceLog log;
        log.Open(kTracePath, "QernoE_Update");
        g_pTraceLog = &log;
        // Opening the file left ERROR_ALREADY_EXISTS behind; the work starts from a clean slate.
        SetLastError(0);
        work();
        log.Close();
        g_pTraceLog = nullptr;
    }
    std::string trace = ReadTrace(machine);
    const std::string start = "\r\n" + CrLfLines({kStart});
    const std::string end = CrLfLines({kEnd});
    if (trace.rfind(start, 0) != 0 || trace.size() < start.size() + end.size() ||
        trace.compare(trace.size() - end.size(), end.size(), end) != 0) {
        return "<not one whole run>" + trace;
    }
    return trace.substr(start.size(), trace.size() - start.size() - end.size());
}

} // namespace test
