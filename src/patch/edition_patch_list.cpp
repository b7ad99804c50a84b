#include "patch/edition_patch_list.h"

#include "settings/install_dat_reader.h"
#include "log/trace_scope.h"
#include "run/launch_context.h"
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

// Finds the installed edition (a token in the package's "DInstallVer"), writes it to `edition`
// and appends the lines of its section "Patch_<token>" of the settings copy, each the base name
// of a patch package in MSP\ = the package code of the product package it is made for; true when
// the list is not empty.
bool GetEditionPatchList(const tagLaunchContext& context, const std::string& localPackage,
                         std::vector<tagEntryValue>& list, std::string& edition) {
    CTraceScope scope("ChkInstall");
    std::string installVer;
    if (!GetMSIProperty("DInstallVer", localPackage, installVer)) {
        TraceCode(kTraceNoEditionProperty);
        return false;
    }
    const char* token = FindEditionToken(installVer);
    if (token == nullptr) {
        TraceCode(kTraceNoEditionToken);
        return false;
    }
    edition = token;
    const std::string section = GetEditionSection(token);
    TraceLine(section);
    if (!IsExistingFile(context.strDatPath)) {
        TraceCode(kTraceNoSettingsCopy);
        return false;
    }
    std::vector<tagEntryValue> entries;
    if (CInstallDatReader(context.strDatPath, section).ReadSection(entries) == 0) {
        TraceCode(kTraceEmptySection);
        return false;
    }
    for (const tagEntryValue& entry : entries) {
        if (entry.strKey.empty() || entry.strValue.empty()) {
            continue;
        }
        list.push_back(entry);
        TraceLine(entry.strKey);
        TraceLine(entry.strValue);
    }
    return !list.empty();
}

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

tagPatchListing ChkInstall(const tagLaunchContext& context, const std::string& localPackage) {
    CTraceScope scope("ChkInstall");
    TraceLine(localPackage);
    tagPatchListing listing;
    const std::string patchFolder = context.strExeDir + "MSP\\";
    if (!IsExistingFolder(patchFolder)) {
        TraceCode(kTraceNoPatchFolder);
        return listing;
    }
    std::vector<tagEntryValue> list;
    if (!GetEditionPatchList(context, localPackage, list, listing.strEdition)) {
        TraceCode(kTraceNoPatchList);
        return listing;
    }
    std::vector<tagSummaryValue> summary;
    if (!GetMspSummaryInformation(summary, localPackage, false)) {
        return listing;
    }
    const std::string installedKey = PackGUID(FindPackageCode(summary));
    if (installedKey.empty()) {
        TraceCode(kTraceNoPackageCode);
        return listing;
    }
    for (const tagEntryValue& entry : list) {
        if (PackGUID(entry.strValue) != installedKey) {
            continue;
        }
        listing.strPatchName = entry.strKey;
        listing.strPatchPath = patchFolder + entry.strKey + ".msp";
        TraceLine(listing.strPatchPath);
        TraceCode(kTraceListedPackage);
        listing.bFound = IsPlainBaseName(entry.strKey) && IsExistingFile(listing.strPatchPath);
        return listing;
    }
    TraceCode(kTraceNotListed);
    return listing;
}
