// The simulated world: one machine for the whole run.
#include "world.h"

#include "os/sim/machine.h"

#include <gtest/gtest.h>

#include <memory>

namespace conformance {
namespace {

class SimulatedMachine : public ::testing::Environment {
public:
    void SetUp() override { m_machine = std::make_unique<sim::Machine>(); }
    void TearDown() override { m_machine.reset(); }

private:
    std::unique_ptr<sim::Machine> m_machine;
};

} // namespace

const char* WorldName() {
    return "sim";
}

bool WorldIsWine() {
    return false;
}

void AddWorldEnvironment() {
    ::testing::AddGlobalTestEnvironment(new SimulatedMachine);
}

} // namespace conformance
