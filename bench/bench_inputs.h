// The inputs of a launch that grow with the years: each one set up n times over on an update
// machine, the others left as a fresh machine has them.
#pragma once

#include "support/update_machine.h"

#include <string_view>

namespace bench {

struct tagBenchInput {
    const char* pszName;
    const char* pszDescription;
    void (*pfnSetUp)(test::UpdateMachine& update, int count);
};

// Settings entries, installer logs, late program files, applied patches.
const tagBenchInput* BenchInputs(std::size_t& count);
const tagBenchInput* FindBenchInput(std::string_view name);

} // namespace bench
