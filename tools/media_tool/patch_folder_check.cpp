#include "patch_folder_check.h"

#include "package_as_installed.h"

#include "run/exit_codes.h"
#include "run/launch_context.h"
#include "msiquery/installed_target.h"
#include "msiquery/patch_queries.h"
#include "msiquery/patch_summary.h"
#include "os/folder_search.h"
#include "text/mbstring.h"
#include "text/split_string.h"

#include <algorithm>

namespace {

constexpr char kBuildWord[] = " Build ";

// The files MSP\*.msp yields, in the order of the search the launcher makes.
std::vector<std::string> ListPatchFiles(const std::string& patchFolder) {
    std::vector<std::string> names;
    ForEachFile(patchFolder + "*.msp", [&](const WIN32_FIND_DATAA& found) {
        names.push_back(found.cFileName);
        return true;
    });
    return names;
}

// "<name> Build <n>": the caption is the name, and the boxes name the build.
bool ReadTitleBuild(const std::string& title, std::string& build) {
    const std::size_t at = text::FindString(title, kBuildWord);
    if (at == text::npos || at == 0) {
        return false;
    }
    const std::string number = title.substr(at + sizeof kBuildWord - 1);
    if (number.empty() || !std::all_of(number.begin(), number.end(),
                                       [](char ch) { return ch >= '0' && ch <= '9'; })) {
        return false;
    }
    build = number;
    return true;
}

bool SharesTarget(const std::string& left, const std::string& right) {
    std::vector<std::string> codes;
    SplitString(left, ";", codes);
    return std::any_of(codes.begin(), codes.end(),
                       [&](const std::string& code) { return IsProductTargeted(right, code); });
}

bool IsListed(const tagMediaReport& report, const std::string& fileName) {
    return std::any_of(report.aEntries.begin(), report.aEntries.end(), [&](const auto& entry) {
        return text::MakeUpper(entry.strPatchName + ".msp") == text::MakeUpper(fileName);
    });
}

void CheckBuild(const std::string& path, const std::string& subject, tagPatchFile& file,
                tagMediaReport& report) {
    DWORD packed = 0;
    if (!GetMspBuildVersion(path, file.strBuildVersion, packed)) {
        report.AddError(subject, "no DBuildVersion in MsiPatchMetadata: the launcher cannot "
                                 "compare it (install mode -1)");
        return;
    }
    if (packed == 0) {
        report.AddError(subject, "DBuildVersion " + file.strBuildVersion +
                                     " has fewer than three numbers: it compares as build 0");
        return;
    }
    std::string titleBuild;
    if (ReadTitleBuild(file.strTitle, titleBuild) &&
        (titleBuild.size() > 5 || std::stoul(titleBuild) != (packed & 0xFFFF))) {
        report.AddWarning(subject, "the title names build " + titleBuild + ", DBuildVersion is " +
                                       file.strBuildVersion);
    }
}

void CheckPatchFile(const std::string& patchFolder, const std::string& name,
                    tagMediaReport& report) {
    tagPatchFile file;
    file.strName = name;
    const std::string path = patchFolder + name;
    const std::string subject = "MSP\\" + name;
    std::string patchCode;
    file.bReadable = GetMspTargetID(path, &file.strTarget, &patchCode, &file.strTitle);
    file.bListed = IsListed(report, name);
    if (!file.bReadable) {
        report.AddError(subject, "cannot be read as a patch package that names its target "
                                 "products and its patch code");
    } else {
        std::string build;
        if (!ReadTitleBuild(file.strTitle, build)) {
            report.AddError(subject, "the title \"" + file.strTitle +
                                         "\" is not \"<name> Build <n>\": as the probe package "
                                         "it gives the boxes a wrong caption");
        }
        CheckBuild(path, subject, file, report);
        if (report.probe.nTraceCode == 0 && path != report.probe.strPath &&
            !SharesTarget(file.strTarget, report.probe.strTarget)) {
            report.AddWarning(subject, "targets " + file.strTarget +
                                           ", the probe package targets " + report.probe.strTarget +
                                           ": the launcher looks only for the probe's products");
        }
    }
    if (!file.bListed) {
        report.AddWarning(subject, "listed in no Patch_<edition> section");
    }
    report.aPatches.push_back(file);
}

const char* DescribeNoProbe(int traceCode) {
    switch (traceCode) {
    case UpdateTraceNoPatchFolder:
        return "no folder MSP\\";
    case UpdateTraceNoPatchFile:
        return "no *.msp in MSP\\";
    default:
        return "the first *.msp names no target product or patch code";
    }
}

} // namespace

void CheckPatchFolder(const tagLaunchContext& context, tagMediaReport& report) {
    const std::string patchFolder = context.strExeDir + "MSP\\";
    report.probe = FindUpdateProbe(context);
    if (report.probe.nTraceCode != 0) {
        report.AddError("MSP\\", std::string(DescribeNoProbe(report.probe.nTraceCode)) +
                                     ": every run shows the launch-failure box and exits " +
                                     std::to_string(ExitCodeMediaUnusable));
    }
    for (const std::string& name : ListPatchFiles(patchFolder)) {
        CheckPatchFile(patchFolder, name, report);
    }
}
