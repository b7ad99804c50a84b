// Reading the launcher's trace file out of a simulated machine.
#pragma once

#include "os/sim/machine.h"

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

} // namespace test
