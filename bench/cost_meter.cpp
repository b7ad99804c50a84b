#include "cost_meter.h"

#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>

namespace bench {
namespace {

// Not <chrono>: its unit suffixes do not survive the code page 932 execution character set.
std::uint64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
           static_cast<std::uint64_t>(now.tv_nsec);
}

} // namespace

CInstructionCounter::CInstructionCounter() {
    perf_event_attr attributes{};
    attributes.size = sizeof attributes;
    attributes.type = PERF_TYPE_HARDWARE;
    attributes.config = PERF_COUNT_HW_INSTRUCTIONS;
    attributes.disabled = 1;
    // User mode only: the kernel's share depends on the machine, not on the launcher.
    attributes.exclude_kernel = 1;
    attributes.exclude_hv = 1;
    m_nFd = static_cast<int>(syscall(SYS_perf_event_open, &attributes, 0, -1, -1, 0));
    if (m_nFd < 0) {
        m_strFailure = std::strerror(errno);
    }
}

CInstructionCounter::~CInstructionCounter() {
    if (m_nFd >= 0) {
        close(m_nFd);
    }
}

std::uint64_t CInstructionCounter::Count(const std::function<void()>& work) {
    ioctl(m_nFd, PERF_EVENT_IOC_RESET, 0);
    ioctl(m_nFd, PERF_EVENT_IOC_ENABLE, 0);
    work();
    ioctl(m_nFd, PERF_EVENT_IOC_DISABLE, 0);
    std::uint64_t count = 0;
    if (read(m_nFd, &count, sizeof count) != static_cast<ssize_t>(sizeof count)) {
        return 0;
    }
    return count;
}

extern "C" __attribute__((noinline)) void
BenchMeasuredLaunch(const std::function<void()>* measured) {
    (*measured)();
}

std::uint64_t MeasureInProcess(CostUnit unit, CInstructionCounter& counter,
                               const tagMeasuredRun& run, int repetitions) {
    std::uint64_t best = std::numeric_limits<std::uint64_t>::max();
    const int runs = unit == CostUnit::Nanoseconds ? std::max(repetitions, 1) : 1;
    for (int index = 0; index < runs; ++index) {
        run.setUp();
        std::uint64_t cost = 0;
        if (unit == CostUnit::Instructions) {
            cost = counter.Count([&] { BenchMeasuredLaunch(&run.measured); });
        } else {
            const std::uint64_t start = MonotonicNanoseconds();
            BenchMeasuredLaunch(&run.measured);
            cost = MonotonicNanoseconds() - start;
        }
        run.tearDown();
        best = std::min(best, cost);
    }
    return best;
}

std::uint64_t MeasureUnderCallgrind(const std::string& self, const std::string& arguments) {
    char outFile[] = "/tmp/launch_bench_callgrind_XXXXXX";
    const int fd = mkstemp(outFile);
    if (fd < 0) {
        return 0;
    }
    close(fd);
    const std::string command = "valgrind --tool=callgrind --collect-atstart=no "
                                "--toggle-collect=BenchMeasuredLaunch --callgrind-out-file=" +
                                std::string(outFile) + " '" + self + "' " + arguments +
                                " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    std::uint64_t count = 0;
    if (status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        // The file ends with "totals: <Ir>" (older versions write "summary:").
        std::ifstream file(outFile);
        std::string line;
        while (std::getline(file, line)) {
            for (const char* label : {"totals: ", "summary: "}) {
                if (line.rfind(label, 0) == 0) {
                    count = std::strtoull(line.c_str() + std::strlen(label), nullptr, 10);
                }
            }
        }
    }
    std::remove(outFile);
    return count;
}

const char* UnitName(CostUnit unit) {
    switch (unit) {
    case CostUnit::Instructions:
        return "instructions (hardware counter)";
    case CostUnit::CallgrindInstructions:
        return "instructions (callgrind)";
    case CostUnit::Nanoseconds:
        return "ns (monotonic clock, best of repetitions)";
    }
    return "";
}

} // namespace bench
