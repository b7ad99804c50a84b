// Which patch package the settings file names for the installed edition and package.
#pragma once

#include <span>
#include <string>
#include <vector>

class CSetupExeApp;

// One line of an edition's section: the base name of a patch package in MSP\ and the package
// code of the installed product package it is made for.
struct PatchListEntry {
    std::string strPatchName;
    std::string strPackageCode;
};

// The edition tokens in the order they are tested; each names a section "Patch_<token>".
std::span<const char* const> GetEditionTokens();

// The settings section of an edition: "Patch_" followed directly by its token.
std::string GetEditionSection(const std::string& token);

// The first edition token that "DInstallVer" holds (case-sensitive), or null for none.
const char* FindEditionToken(const std::string& installVer);

// A patch name that stays inside MSP\: no "\", "/", ":" or "..". Any other name counts as a
// listed patch whose file does not exist.
bool IsPlainBaseName(const std::string& name);

// Finds the installed edition (a token in the package's "DInstallVer") and appends the lines of
// its section "Patch_<token>" of the settings copy; true when the list is not empty.
bool GetEditionPatchList(CSetupExeApp& app, const std::string& localPackage,
                         std::vector<PatchListEntry>& list);

// Names, in `chosenPatchPath`, the patch package listed for the installed package's package
// code (written as soon as an entry matches); true when that file exists.
bool ChkInstall(CSetupExeApp& app, const std::string& localPackage, std::string& chosenPatchPath);
