// media_tool: checks update media before they ship, and lays them out, deciding with the
// launcher's own code what Setup.exe would do on a customer's machine. It shows no window and
// starts no installer. Run it on Windows or Wine.
#include "media_arguments.h"
#include "media_check.h"
#include "media_layout.h"
#include "report_text.h"

#include "os/process_hardening.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kExitClean = 0;
constexpr int kExitErrors = 1;
constexpr int kExitUsage = 2;

int PrintReport(const tagMediaReport& report, bool json) {
    const std::string text = json ? FormatReportJson(report) : FormatReportTable(report);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return report.CountFindings(true) == 0 ? kExitClean : kExitErrors;
}

int Make(const tagMediaArguments& arguments) {
    const tagMakeRequest request{arguments.strFolder, arguments.strSetup, arguments.astrPatches,
                                 arguments.astrPackages, arguments.strUrl};
    std::vector<tagSettingsEntry> entries;
    std::string error;
    if (!PlanSettings(request, entries, error) || !LayOutMedia(request, entries, error)) {
        std::fprintf(stderr, "media_tool: %s\n", error.c_str());
        return kExitErrors;
    }
    std::printf("media_tool: laid out %s; its check:\n\n", arguments.strFolder.c_str());
    return PrintReport(CheckMedia({arguments.strFolder, arguments.astrPackages, {}}), false);
}

} // namespace

int main(int argc, char** argv) {
    // The launcher's libraries bind msi.dll and the others from the system folder only.
    HardenDllSearch();
    tagMediaArguments arguments;
    std::string error;
    if (!ParseMediaArguments(std::vector<std::string>(argv + 1, argv + argc), arguments, error)) {
        std::fprintf(stderr, "media_tool: %s\n\n%s", error.c_str(), kMediaToolUsage);
        return kExitUsage;
    }
    switch (arguments.nCommand) {
    case MediaCommandHelp:
        std::fputs(kMediaToolUsage, stdout);
        return kExitClean;
    case MediaCommandMake:
        return Make(arguments);
    case MediaCommandCheck:
        break;
    }
    return PrintReport(
        CheckMedia({arguments.strFolder, arguments.astrPackages, arguments.astrApplied}),
        arguments.bJson);
}
