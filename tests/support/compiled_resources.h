// The resources compiled for Setup.exe, loaded into a simulated machine.
#pragma once

#include "os/sim/machine.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace test {

inline std::string CompiledResources() {
    std::ifstream file(SETUP_COMPILED_RESOURCES, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " SETUP_COMPILED_RESOURCES);
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

inline void LoadCompiledResources(sim::Machine& machine) {
    machine.Ui().LoadResources(CompiledResources());
}

} // namespace test
