// What one measured launch cost, read from the cheapest exact source this machine offers: the
// processor's retired-instruction counter (perf_event_open), the instruction count of a run
// under valgrind's callgrind, or, failing both, the best of several wall-clock timings.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace bench {

enum class CostUnit { Instructions, CallgrindInstructions, Nanoseconds };

// The launch under test, with its setup: `setUp` builds the machine (not measured), `measured`
// runs the launch, `tearDown` drops the machine (not measured).
struct tagMeasuredRun {
    std::function<void()> setUp;
    std::function<void()> measured;
    std::function<void()> tearDown;
};

// Retired user-mode instructions of this thread, through the hardware counter.
class CInstructionCounter {
public:
    CInstructionCounter();
    ~CInstructionCounter();
    CInstructionCounter(const CInstructionCounter&) = delete;
    CInstructionCounter& operator=(const CInstructionCounter&) = delete;

    bool IsAvailable() const { return m_nFd >= 0; }
    // The reason it is not available, as the kernel said it.
    const std::string& Failure() const { return m_strFailure; }
    std::uint64_t Count(const std::function<void()>& work);

private:
    int m_nFd = -1;
    std::string m_strFailure;
};

// The cost of one run in `unit`. Wall time is the minimum over `repetitions` runs; the counters
// are exact and run once.
std::uint64_t MeasureInProcess(CostUnit unit, CInstructionCounter& counter,
                               const tagMeasuredRun& run, int repetitions);

// The entry that callgrind's --toggle-collect names: only what runs inside it is counted.
extern "C" void BenchMeasuredLaunch(const std::function<void()>* measured);

// Runs this program again under callgrind for one case (`arguments` tell the child what to
// set up) and reads the instructions counted inside BenchMeasuredLaunch; 0 when it failed.
std::uint64_t MeasureUnderCallgrind(const std::string& self, const std::string& arguments);

const char* UnitName(CostUnit unit);

} // namespace bench
