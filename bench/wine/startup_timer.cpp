// Times two programs from their start to their first box on the screen, in interleaved pairs,
// and answers each box with OK.
//   usage: startup_timer PAIRS MINIMAL.exe SETUP.exe [SETUP_ARGUMENTS...]
// One line a pair (milliseconds of each, and SETUP/MINIMAL), then the medians. The order
// within a pair alternates, so that neither program always runs just after the other. A
// first pair warms Wine up and is not counted. Exit code 0 when every run showed a box and
// ended once it was answered; 1 otherwise.
#include "owned_handle.h"
#include "process_dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Generous: under an emulated processor a start takes minutes.
constexpr DWORD kTimeoutMs = 600000;
// Finer than the frame of a screen, coarse enough to leave the processor to the program.
constexpr DWORD kPollMs = 2;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Milliseconds from starting `commandLine` to its first box; negative when no box came or the
// program did not end after OK.
double TimeToFirstBox(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    LARGE_INTEGER begin;
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        std::fprintf(stderr, "startup_timer: cannot start %s\n", commandLine.c_str());
        return -1;
    }
    const OwnedHandle thread(started.hThread);
    const OwnedHandle process(started.hProcess);
    LARGE_INTEGER seen;
    HWND box = nullptr;
    for (;;) {
        box = FindProcessDialog(started.dwProcessId);
        QueryPerformanceCounter(&seen);
        if (box != nullptr) {
            break;
        }
        if (WaitForSingleObject(process.get(), kPollMs) != WAIT_TIMEOUT ||
            Milliseconds(begin, seen) > kTimeoutMs) {
            std::fprintf(stderr, "startup_timer: no box from %s\n", commandLine.c_str());
            TerminateProcess(process.get(), 1);
            return -1;
        }
    }
    SendMessageTimeoutA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
    if (WaitForSingleObject(process.get(), kTimeoutMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "startup_timer: %s did not end after OK\n", commandLine.c_str());
        TerminateProcess(process.get(), 1);
        return -1;
    }
    return Milliseconds(begin, seen);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    const int pairs = argc >= 4 ? std::atoi(argv[1]) : 0;
    if (pairs < 1) {
        std::fprintf(stderr, "usage: startup_timer PAIRS MINIMAL.exe SETUP.exe [ARGUMENTS...]\n");
        return 2;
    }
    const std::string minimal = std::string("\"") + argv[2] + "\"";
    std::string setup = std::string("\"") + argv[3] + "\"";
    for (int i = 4; i < argc; ++i) {
        setup += std::string(" ") + argv[i];
    }
    if (TimeToFirstBox(minimal) < 0 || TimeToFirstBox(setup) < 0) {
        return 1;
    }
    std::vector<double> minimalTimes;
    std::vector<double> setupTimes;
    std::vector<double> ratios;
    for (int pair = 1; pair <= pairs; ++pair) {
        const bool minimalFirst = pair % 2 == 1;
        const double first = TimeToFirstBox(minimalFirst ? minimal : setup);
        const double second = TimeToFirstBox(minimalFirst ? setup : minimal);
        if (first < 0 || second < 0) {
            return 1;
        }
        const double minimalTime = minimalFirst ? first : second;
        const double setupTime = minimalFirst ? second : first;
        minimalTimes.push_back(minimalTime);
        setupTimes.push_back(setupTime);
        ratios.push_back(setupTime / minimalTime);
        std::printf("pair %3d  minimal %7.1f ms  Setup.exe %7.1f ms  ratio %.3f\n", pair,
                    minimalTime, setupTime, ratios.back());
        std::fflush(stdout);
    }
    std::printf("median    minimal %7.1f ms  Setup.exe %7.1f ms  ratio %.3f (median of the "
                "pairs' ratios)\n",
                Median(minimalTimes), Median(setupTimes), Median(ratios));
    return 0;
}
