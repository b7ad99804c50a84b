#include "bench_inputs.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

namespace bench {
namespace {

constexpr char kTempFolder[] = "C:\\Users\\user\\AppData\\Local\\Temp\\";

// Entries of other packages first; the installed package's entry comes last, so that the whole
// section is read and compared.
void SetUpSettings(test::UpdateMachine& update, int count) {
    std::string text = "[Install]\r\nURL=https://example.com/\r\n[Patch_ALPHA]\r\n";
    char line[128];
    for (int index = 1; index < count; ++index) {
        std::snprintf(line, sizeof line, "QernoE6_ALPHA_%d={5A5A5A5A-0001-0002-0003-1%011d}\r\n",
                      index, index);
        text += line;
    }
    text += "QernoE6_ALPHA_1234=" + std::string(test::kPackageCode) + "\r\n";
    update.WriteSettings(text);
}

// Logs of earlier installer runs; all but the five newest go.
void SetUpInstallerLogs(test::UpdateMachine& update, int count) {
    char name[128];
    for (int index = 0; index < count; ++index) {
        std::snprintf(name, sizeof name, "%sInstall_QernoE_2020_0101_%06d.log", kTempFolder, index);
        update.machine.Files().WriteFile(name, "log");
    }
}

// Program files changed after the release, so each is checked and moved aside, and put back
// after an installer that did not lay them again.
void SetUpLateFiles(test::UpdateMachine& update, int count) {
    const std::string main = std::string(test::kProgramFolder) + "Qerno.exe";
    const std::int64_t released = sim::Clock::TicksFromCivil(2026, 11, 1, 0, 0, 0);
    update.machine.Files().WriteFile(main, "MZ");
    update.machine.Files().SetFileTimes(main, released, released);
    char name[128];
    for (int index = 0; index < count; ++index) {
        std::snprintf(name, sizeof name, "%sAddIn%05d.dll", test::kProgramFolder, index);
        update.machine.Files().WriteFile(name, "MZ");
    }
}

// Patches applied before, each with its cached package; all older than the media's patch.
void SetUpAppliedPatches(test::UpdateMachine& update, int count) {
    char code[64];
    char build[32];
    for (int index = 0; index < count; ++index) {
        std::snprintf(code, sizeof code, "{%08X-1111-2222-3333-000000000001}", 0x10000000 + index);
        std::snprintf(build, sizeof build, "6.0.%d", 1000 + index % 200);
        update.ApplyEarlier(code, build);
    }
}

constexpr tagBenchInput kInputs[] = {
    {"settings", "entries in the edition's section of Install.dat", SetUpSettings},
    {"logs", "Install_QernoE_*.log in the temporary folder", SetUpInstallerLogs},
    {"files", "late program files, moved aside and back", SetUpLateFiles},
    {"patches", "patches applied before", SetUpAppliedPatches},
};

} // namespace

const tagBenchInput* BenchInputs(std::size_t& count) {
    count = std::size(kInputs);
    return kInputs;
}

const tagBenchInput* FindBenchInput(std::string_view name) {
    for (const tagBenchInput& input : kInputs) {
        if (name == input.pszName) {
            return &input;
        }
    }
    return nullptr;
}

} // namespace bench
