// How the cost of one whole unattended launch grows with each input that grows over the years.
// Not a test: run it by hand and read the exponents (see the README).
//
//   launch_bench [--counter=auto|instructions|callgrind|time] [--repeat=R] [--only=INPUT]
//                [--sizes=10,100,1000,10000]
#include "bench_inputs.h"
#include "cost_meter.h"
#include "growth_fit.h"

#include "os/windows_version.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::CostUnit;

constexpr char kCommandLine[] = "/silent1";
// The exponent is fitted over these sizes and up: below, the fixed cost of a launch hides it.
constexpr int kFitFrom = 100;

struct tagOptions {
    std::string strCounter = "auto";
    std::string strOnly;
    std::vector<int> sizes{10, 100, 1000, 10000};
    int nRepeat = 5;
    // Set in the child that callgrind runs: one input, one size.
    std::string strOneInput;
    int nOneSize = -1;
};

bool ParseOptions(int argc, char** argv, tagOptions& options) {
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        auto value = [&](const char* prefix) -> const char* {
            const std::string text(prefix);
            return argument.rfind(text, 0) == 0 ? argv[index] + text.size() : nullptr;
        };
        if (const char* counter = value("--counter=")) {
            options.strCounter = counter;
        } else if (const char* repeat = value("--repeat=")) {
            options.nRepeat = std::atoi(repeat);
        } else if (const char* only = value("--only=")) {
            options.strOnly = only;
        } else if (const char* sizes = value("--sizes=")) {
            options.sizes.clear();
            for (const char* at = sizes; *at != '\0';) {
                char* end = nullptr;
                options.sizes.push_back(static_cast<int>(std::strtol(at, &end, 10)));
                at = *end == ',' ? end + 1 : end;
                if (end == at && *end != '\0') {
                    return false;
                }
            }
        } else if (argument == "--one" && index + 2 < argc) {
            options.strOneInput = argv[index + 1];
            options.nOneSize = std::atoi(argv[index + 2]);
            index += 2;
        } else {
            return false;
        }
    }
    return options.strCounter == "auto" || options.strCounter == "instructions" ||
           options.strCounter == "callgrind" || options.strCounter == "time";
}

// One launch on a machine that holds `size` of the input; the launch must apply the patch, or
// the figures would measure some other path.
class CBenchRun {
public:
    CBenchRun(const bench::tagBenchInput& input, int size) : m_input(input), m_nSize(size) {}

    bench::tagMeasuredRun Run() {
        return {[this] { SetUp(); }, [this] { m_nExitCode = m_pUpdate->Launch(kCommandLine); },
                [this] { TearDown(); }};
    }

private:
    void SetUp() {
        // Each launch is a new process: nothing is remembered from the one before.
        ProcessWindowsVersionTest() = CWindowsVersionTest{};
        m_pUpdate = std::make_unique<test::UpdateMachine>();
        m_input.pfnSetUp(*m_pUpdate, m_nSize);
        m_nExitCode = -1;
    }
    void TearDown() {
        m_pUpdate.reset();
        if (m_nExitCode != 0) {
            std::fprintf(stderr, "launch_bench: %s n=%d ended with exit code %d\n", m_input.pszName,
                         m_nSize, m_nExitCode);
            std::exit(1);
        }
    }

    const bench::tagBenchInput& m_input;
    int m_nSize;
    int m_nExitCode = -1;
    std::unique_ptr<test::UpdateMachine> m_pUpdate;
};

bool ValgrindRuns() {
    return std::system("valgrind --version >/dev/null 2>&1") == 0;
}

CostUnit ChooseUnit(const tagOptions& options, const bench::CInstructionCounter& counter) {
    if (options.strCounter == "instructions" ||
        (options.strCounter == "auto" && counter.IsAvailable())) {
        return CostUnit::Instructions;
    }
    if (options.strCounter == "callgrind" || (options.strCounter == "auto" && ValgrindRuns())) {
        return CostUnit::CallgrindInstructions;
    }
    return CostUnit::Nanoseconds;
}

std::uint64_t Measure(CostUnit unit, bench::CInstructionCounter& counter, const char* self,
                      const bench::tagBenchInput& input, int size, int repeat) {
    if (unit == CostUnit::CallgrindInstructions) {
        return bench::MeasureUnderCallgrind(self, "--one " + std::string(input.pszName) + " " +
                                                      std::to_string(size));
    }
    CBenchRun run(input, size);
    return bench::MeasureInProcess(unit, counter, run.Run(), repeat);
}

void PrintExponent(double exponent) {
    if (std::isnan(exponent)) {
        std::printf("  %9s", "-");
    } else {
        std::printf("  %9.2f", exponent);
    }
}

} // namespace

int main(int argc, char** argv) {
    tagOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: launch_bench [--counter=auto|instructions|callgrind|time] "
                             "[--repeat=R] [--only=INPUT] [--sizes=N,N,...]\n");
        return 2;
    }
    bench::CInstructionCounter counter;
    if (options.nOneSize >= 0) {
        const bench::tagBenchInput* input = bench::FindBenchInput(options.strOneInput);
        if (input == nullptr) {
            return 2;
        }
        CBenchRun run(*input, options.nOneSize);
        const bench::tagMeasuredRun measured = run.Run();
        measured.setUp();
        bench::BenchMeasuredLaunch(&measured.measured);
        measured.tearDown();
        return 0;
    }
    const CostUnit unit = ChooseUnit(options, counter);
    if (unit == CostUnit::Instructions && !counter.IsAvailable()) {
        std::fprintf(stderr,
                     "launch_bench: no hardware instruction counter (perf_event_open: %s)\n",
                     counter.Failure().c_str());
        return 1;
    }
    std::printf("cost of one `Setup.exe %s` launch on the simulated machine, in %s\n", kCommandLine,
                bench::UnitName(unit));
    if (!counter.IsAvailable()) {
        std::printf("(no hardware instruction counter: perf_event_open: %s)\n",
                    counter.Failure().c_str());
    }
    std::printf("exponent: slope of log(cost) over log(n) for n >= %d; added: of cost(n) - "
                "cost(0)\n",
                kFitFrom);
    std::printf("%-9s %13s", "input", "n=0");
    for (int size : options.sizes) {
        std::printf(" %13s", ("n=" + std::to_string(size)).c_str());
    }
    std::printf("  %9s  %9s\n", "exponent", "added");

    std::size_t inputCount = 0;
    const bench::tagBenchInput* inputs = bench::BenchInputs(inputCount);
    for (std::size_t index = 0; index < inputCount; ++index) {
        const bench::tagBenchInput& input = inputs[index];
        if (!options.strOnly.empty() && options.strOnly != input.pszName) {
            continue;
        }
        const std::uint64_t base = Measure(unit, counter, argv[0], input, 0, options.nRepeat);
        std::printf("%-9s %13llu", input.pszName, static_cast<unsigned long long>(base));
        std::fflush(stdout);
        std::vector<bench::tagCostPoint> total;
        std::vector<bench::tagCostPoint> added;
        for (int size : options.sizes) {
            const std::uint64_t cost =
                Measure(unit, counter, argv[0], input, size, options.nRepeat);
            std::printf(" %13llu", static_cast<unsigned long long>(cost));
            std::fflush(stdout);
            if (size >= kFitFrom) {
                total.push_back({static_cast<double>(size), static_cast<double>(cost)});
                added.push_back({static_cast<double>(size),
                                 static_cast<double>(cost) - static_cast<double>(base)});
            }
        }
        PrintExponent(bench::GrowthExponent(total));
        PrintExponent(bench::GrowthExponent(added));
        std::printf("   %s\n", input.pszDescription);
    }
    return 0;
}
