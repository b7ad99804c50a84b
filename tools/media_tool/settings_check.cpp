#include "settings_check.h"

#include "settings/install_dat_reader.h"
#include "msiquery/pack_guid.h"
#include "os/path_tests.h"
#include "patch/edition_patch_list.h"
#include "readiness/link_address.h"
#include "run/launch_context.h"
#include "text/mbstring.h"

#include <string_view>

namespace {

// File names on Windows compare without regard to letter case.
bool IsSameName(const std::string& left, const std::string& right) {
    return text::MakeUpper(left) == text::MakeUpper(right);
}

void CheckUrl(const tagLaunchContext& context, tagMediaReport& report) {
    std::string url;
    if (!CInstallDatReader(context.strDatPath, "Install").ReadString("URL", "", url)) {
        report.AddWarning("Install.dat", "[Install] has no URL: the engine check's dialog links "
                                         "nowhere");
        return;
    }
    report.strUrl = url;
    // The launcher's own answer, so that the check and a click on the link always agree.
    if (GetLinkAddress(url).strAddress.empty()) {
        report.AddError("Install.dat", "[Install] URL \"" + url +
                                           "\" is not a web page or mail address; the "
                                           "engine check's dialog would not open it");
    }
}

void CheckEntry(const tagLaunchContext& context, const tagSettingsEntry& entry,
                tagMediaReport& report) {
    const std::string& name = entry.strPatchName;
    if (!IsPlainBaseName(name)) {
        report.AddError(entry.strSection,
                        name + ": the name leaves MSP\\; the launcher takes the patch as missing");
    } else if (!IsExistingFile(context.strExeDir + "MSP\\" + name + ".msp")) {
        report.AddError(entry.strSection, name + ": MSP\\" + name + ".msp does not exist");
    }
    if (PackGUID(entry.strPackageCode).empty()) {
        report.AddError(entry.strSection, name + ": \"" + entry.strPackageCode +
                                              "\" is not a package code; it matches no package");
    }
}

// A package code listed again in the same section: the launcher takes the first line.
void CheckRepeats(const std::vector<tagSettingsEntry>& section, tagMediaReport& report) {
    for (std::size_t later = 1; later < section.size(); ++later) {
        const tagSettingsEntry& entry = section[later];
        const std::string key = PackGUID(entry.strPackageCode);
        for (std::size_t first = 0; first < later && !key.empty(); ++first) {
            if (PackGUID(section[first].strPackageCode) != key) {
                continue;
            }
            if (IsSameName(section[first].strPatchName, entry.strPatchName)) {
                report.AddWarning(entry.strSection, section[first].strPatchName +
                                                        " is listed twice for " +
                                                        entry.strPackageCode);
            } else {
                report.AddError(entry.strSection, entry.strPackageCode + " is listed for " +
                                                      section[first].strPatchName +
                                                      " and again for " + entry.strPatchName +
                                                      "; the launcher takes " +
                                                      section[first].strPatchName);
            }
            break;
        }
    }
}

} // namespace

void CheckSettings(const tagLaunchContext& context, tagMediaReport& report) {
    if (!IsExistingFile(context.strDatPath)) {
        report.AddError("Install.dat", "missing, or no copy could be made to read it");
        return;
    }
    report.bSettingsRead = true;
    CheckUrl(context, report);
    for (const char* token : GetEditionTokens()) {
        const std::string sectionName = GetEditionSection(token);
        std::vector<tagEntryValue> lines;
        CInstallDatReader(context.strDatPath, sectionName).ReadSection(lines);
        std::vector<tagSettingsEntry> section;
        for (const tagEntryValue& line : lines) {
            if (line.strValue.empty()) {
                report.AddWarning(sectionName, line.strKey +
                                                   ": no package code; the launcher passes the "
                                                   "line over");
                continue;
            }
            section.push_back({sectionName, line.strKey, line.strValue});
            CheckEntry(context, section.back(), report);
        }
        CheckRepeats(section, report);
        report.aEntries.insert(report.aEntries.end(), section.begin(), section.end());
    }
    if (report.aEntries.empty()) {
        report.AddError("Install.dat", "no Patch_<edition> section lists a patch");
    }
}
