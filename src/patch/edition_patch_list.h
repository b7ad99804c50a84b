// Which patch package the settings file names for the installed edition and package.
#pragma once

#include <string>
#include <vector>

class CSetupExeApp;

// One line of an edition's section: the base name of a patch package in MSP\ and the package
// code of the installed product package it is made for.
struct PatchListEntry {
    std::string strPatchName;
    std::string strPackageCode;
};

// Finds the installed edition (a token in the package's "DInstallVer") and appends the lines of
// its section "Patch_<token>" of the settings copy; true when the list is not empty.
bool GetEditionPatchList(CSetupExeApp& app, const std::string& localPackage,
                         std::vector<PatchListEntry>& list);

// Names, in `chosenPatchPath`, the patch package listed for the installed package's package
// code (written as soon as an entry matches); true when that file exists.
bool ChkInstall(CSetupExeApp& app, const std::string& localPackage, std::string& chosenPatchPath);
