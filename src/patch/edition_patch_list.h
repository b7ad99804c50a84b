// Which patch package the settings file names for the installed edition and package.
#pragma once

#include <span>
#include <string>

struct tagLaunchContext;

// The edition tokens in the order they are tested; each names a section "Patch_<token>".
std::span<const char* const> GetEditionTokens();

// The settings section of an edition: "Patch_" followed directly by its token.
[[nodiscard]] std::string GetEditionSection(const std::string& token);

// The first edition token that "DInstallVer" holds (case-sensitive), or null for none.
const char* FindEditionToken(const std::string& installVer);

// A patch name that stays inside MSP\: no "\", "/", ":" or "..". Any other name counts as a
// listed patch whose file does not exist.
[[nodiscard]] bool IsPlainBaseName(const std::string& name);

// What the settings list for the installed package, as far as it was found.
struct tagPatchListing {
    bool bFound = false;      // a patch is listed for the package and its file exists
    std::string strEdition;   // the edition token of "DInstallVer"; "" when none was found
    std::string strPatchName; // the matching entry's name; "" when none matched
    std::string strPatchPath; // MSP\ + that name + ".msp"; "" when none matched
};

// The patch package listed for the installed package's package code.
[[nodiscard]] tagPatchListing ChkInstall(const tagLaunchContext& context,
                                         const std::string& localPackage);
