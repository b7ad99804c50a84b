#include "patch/edition_patch_list.h"

#include "app/install_dat_reader.h"
#include "app/setup_exe_app.h"
#include "log/trace_scope.h"
#include "msiquery/pack_guid.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_summary.h"
#include "os/path_tests.h"
#include "text/mbstring.h"

namespace {

// Tested in this order: the first token found in "DInstallVer" decides.
constexpr const char* kEditionTokens[] = {"ALPHA",  "BRAVO",  "CHARLIE", "DELTA_H", "DELTA_K",
                                          "ECHO_L", "ECHO_W", "FOXTROT", "GOLF_S",  "GOLF_R"};

constexpr int kTraceNoEditionProperty = 2221;
constexpr int kTraceNoEditionToken = 2250;
constexpr int kTraceNoSettingsCopy = 2257;
constexpr int kTraceEmptySection = 2266;
constexpr int kTraceNoPatchFolder = 2295;
constexpr int kTraceNoPatchList = 2303;
constexpr int kTraceNoPackageCode = 2327;
constexpr int kTraceListedPackage = 2339;
constexpr int kTraceNotListed = 2344;

} // namespace

std::span<const char* const> GetEditionTokens() {
    return kEditionTokens;
}

std::string GetEditionSection(const std::string& token) {
    return "Patch_" + token;
}

const char* FindEditionToken(const std::string& installVer) {
    for (const char* candidate : kEditionTokens) {
        if (text::FindString(installVer, candidate) != text::npos) {
            return candidate;
        }
    }
    return nullptr;
}

// A settings file on the media must not make the launcher apply a patch from anywhere else. The
// searches step over double-byte characters, whose second byte may be 0x5C.
bool IsPlainBaseName(const std::string& name) {
    return text::FindChar(name, '\\') == text::npos && text::FindChar(name, '/') == text::npos &&
           text::FindChar(name, ':') == text::npos && text::FindString(name, "..") == text::npos;
}

bool GetEditionPatchList(CSetupExeApp& app, const std::string& localPackage,
                         std::vector<PatchListEntry>& list) {
    CTraceScope scope("ChkInstall");
    std::string edition;
    if (!GetMSIProperty("DInstallVer", localPackage, edition)) {
        TraceCode(kTraceNoEditionProperty);
        return false;
    }
    const char* token = FindEditionToken(edition);
    if (token == nullptr) {
        TraceCode(kTraceNoEditionToken);
        return false;
    }
    const std::string section = GetEditionSection(token);
    TraceLine(section);
    if (!IsExistingFile(app.m_strDatPath)) {
        TraceCode(kTraceNoSettingsCopy);
        return false;
    }
    std::vector<tagEntryValue> entries;
    if (CInstallDatReader(app.m_strDatPath, section).ReadSection(entries) == 0) {
        TraceCode(kTraceEmptySection);
        return false;
    }
    for (const tagEntryValue& entry : entries) {
        if (entry.strKey.empty() || entry.strValue.empty()) {
            continue;
        }
        list.push_back({entry.strKey, entry.strValue});
        TraceLine(entry.strKey);
        TraceLine(entry.strValue);
    }
    return !list.empty();
}

bool ChkInstall(CSetupExeApp& app, const std::string& localPackage, std::string& chosenPatchPath) {
    CTraceScope scope("ChkInstall");
    TraceLine(localPackage);
    const std::string patchFolder = app.m_strExeDir + "MSP\\";
    if (!IsExistingFolder(patchFolder)) {
        TraceCode(kTraceNoPatchFolder);
        return false;
    }
    std::vector<PatchListEntry> list;
    if (!GetEditionPatchList(app, localPackage, list)) {
        TraceCode(kTraceNoPatchList);
        return false;
    }
    std::vector<tagSummaryValue> summary;
    if (!GetMspSummaryInformation(summary, localPackage, false)) {
        return false;
    }
    const std::string installedKey = PackGUID(FindPackageCode(summary));
    if (installedKey.empty()) {
        TraceCode(kTraceNoPackageCode);
        return false;
    }
    for (const PatchListEntry& entry : list) {
        if (PackGUID(entry.strPackageCode) != installedKey) {
            continue;
        }
        chosenPatchPath = patchFolder + entry.strPatchName + ".msp";
        TraceLine(chosenPatchPath);
        TraceCode(kTraceListedPackage);
        return IsPlainBaseName(entry.strPatchName) && IsExistingFile(chosenPatchPath);
    }
    TraceCode(kTraceNotListed);
    return false;
}
