// Which patch package the settings file names for the installed edition and package.
#pragma once

#include <span>
#include <string>
#include <vector>

struct tagLaunchContext;

// One line of an edition's section: the base name of a patch package in MSP\ and the package
// code of the installed product package it is made for.
struct PatchListEntry {
    std::string strPatchName;
    std::string strPackageCode;
};

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

// Finds the installed edition (a token in the package's "DInstallVer"), writes it to `edition`
// and appends the lines of its section "Patch_<token>" of the settings copy; true when the list
// is not empty.
[[nodiscard]] bool GetEditionPatchList(const tagLaunchContext& context,
                                       const std::string& localPackage,
                                       std::vector<PatchListEntry>& list, std::string& edition);

// The patch package listed for the installed package's package code.
[[nodiscard]] tagPatchListing ChkInstall(const tagLaunchContext& context,
                                         const std::string& localPackage);
