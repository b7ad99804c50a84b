#include "media_layout.h"

#include "media_paths.h"

#include "msiquery/pack_guid.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_summary.h"
#include "os/path_tests.h"
#include "os/win32api.h"
#include "patch/edition_patch_list.h"
#include "text/append_backslash.h"
#include "text/mbstring.h"

#include <cstdio>
#include <memory>

namespace {

const std::string& PatchFor(const tagMakeRequest& request, std::size_t package) {
    return request.astrPatches[request.astrPatches.size() == 1 ? 0 : package];
}

bool ReadPackage(const std::string& package, tagSettingsEntry& entry, std::string& error) {
    std::string installVer;
    const char* token = nullptr;
    if (GetMSIProperty("DInstallVer", package, installVer)) {
        token = FindEditionToken(installVer);
    }
    if (token == nullptr) {
        error = package + ": \"DInstallVer\" names no edition";
        return false;
    }
    std::vector<tagSummaryValue> summary;
    entry.strSection = GetEditionSection(token);
    if (GetMspSummaryInformation(summary, package, false)) {
        entry.strPackageCode = FindPackageCode(summary);
    }
    if (PackGUID(entry.strPackageCode).empty()) {
        error = package + ": no package code in its summary information";
        return false;
    }
    return true;
}

// A second line for a package code the section has: the same patch again is left out, another
// patch would never be chosen.
bool IsRepeat(const std::vector<tagSettingsEntry>& planned, const tagSettingsEntry& entry,
              std::string& error) {
    for (const tagSettingsEntry& earlier : planned) {
        if (earlier.strSection != entry.strSection ||
            PackGUID(earlier.strPackageCode) != PackGUID(entry.strPackageCode)) {
            continue;
        }
        if (text::MakeUpper(earlier.strPatchName) != text::MakeUpper(entry.strPatchName)) {
            error = "two patches, " + earlier.strPatchName + " and " + entry.strPatchName +
                    ", for package code " + entry.strPackageCode + " in " + entry.strSection +
                    ": the launcher would only ever take the first";
        }
        return true;
    }
    return false;
}

// The folder and the folders above it that are missing, as "mkdir" makes them; a drive or a
// share in the path simply fails to be made. The walk steps over double-byte characters, whose
// second byte may be 0x5C.
bool MakeFolders(const std::string& path) {
    const std::string folder = AppendBackslash(path);
    for (std::size_t at = 0; at < folder.size(); at += text::CharLength(folder, at)) {
        if (at > 0 && folder[at] == '\\') {
            CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
        }
    }
    return IsExistingFolder(path);
}

bool CopyInto(const std::string& source, const std::string& target, std::string& error) {
    if (CopyFileA(source.c_str(), target.c_str(), TRUE)) {
        return true;
    }
    error = "copying " + source + " to " + target + " failed (error " +
            std::to_string(GetLastError()) + ")";
    return false;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes, std::string& error) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(_fsopen(path.c_str(), "wb", _SH_DENYWR),
                                                         &std::fclose);
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fclose(file.release()) != 0) {
        error = "writing " + path + " failed";
        return false;
    }
    return true;
}

} // namespace

bool PlanSettings(const tagMakeRequest& request, std::vector<tagSettingsEntry>& entries,
                  std::string& error) {
    for (const std::string& patch : request.astrPatches) {
        for (const std::string& other : request.astrPatches) {
            if (patch != other &&
                text::MakeUpper(GetFileName(patch)) == text::MakeUpper(GetFileName(other))) {
                error = patch + " and " + other + " would both be MSP\\" + GetFileName(patch);
                return false;
            }
        }
    }
    std::vector<tagSettingsEntry> planned;
    for (std::size_t index = 0; index < request.astrPackages.size(); ++index) {
        tagSettingsEntry entry;
        if (!ReadPackage(request.astrPackages[index], entry, error)) {
            return false;
        }
        entry.strPatchName = GetPatchBaseName(PatchFor(request, index));
        if (IsRepeat(planned, entry, error)) {
            if (!error.empty()) {
                return false;
            }
            continue;
        }
        planned.push_back(entry);
    }
    for (const char* token : GetEditionTokens()) {
        for (const tagSettingsEntry& entry : planned) {
            if (entry.strSection == GetEditionSection(token)) {
                entries.push_back(entry);
            }
        }
    }
    return true;
}

std::string ComposeInstallDat(const std::optional<std::string>& url,
                              const std::vector<tagSettingsEntry>& entries) {
    std::string text;
    if (url) {
        text = "[Install]\r\nURL=" + *url + "\r\n";
    }
    std::string section;
    for (const tagSettingsEntry& entry : entries) {
        if (entry.strSection != section) {
            section = entry.strSection;
            text += (text.empty() ? "[" : "\r\n[") + section + "]\r\n";
        }
        text += entry.strPatchName + "=" + entry.strPackageCode + "\r\n";
    }
    return text;
}

bool LayOutMedia(const tagMakeRequest& request, const std::vector<tagSettingsEntry>& entries,
                 std::string& error) {
    const std::string folder = AppendBackslash(request.strOutDir);
    if (!MakeFolders(request.strOutDir)) {
        error = "the folder " + request.strOutDir + " cannot be made (error " +
                std::to_string(GetLastError()) + ")";
        return false;
    }
    // Media are laid out whole: an earlier Install.dat or patch would change what is chosen.
    if (PathFileExistsA((folder + "Install.dat").c_str()) ||
        PathFileExistsA((folder + "MSP").c_str())) {
        error = request.strOutDir + " already holds media (Install.dat or MSP\\)";
        return false;
    }
    if (!CreateDirectoryA((folder + "MSP").c_str(), nullptr)) {
        error = "the folder " + folder + "MSP cannot be made (error " +
                std::to_string(GetLastError()) + ")";
        return false;
    }
    if (!CopyInto(request.strSetup, folder + "Setup.exe", error)) {
        return false;
    }
    for (const std::string& patch : request.astrPatches) {
        const std::string target = folder + "MSP\\" + GetFileName(patch);
        if (!PathFileExistsA(target.c_str()) && !CopyInto(patch, target, error)) {
            return false;
        }
    }
    return WriteFileBytes(folder + "Install.dat", ComposeInstallDat(request.strUrl, entries),
                          error);
}
