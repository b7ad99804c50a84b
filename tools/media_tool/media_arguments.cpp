#include "media_arguments.h"

#include "media_paths.h"

#include <map>

const char kMediaToolUsage[] =
    "usage: media_tool check MEDIA_DIR [--package PRODUCT.msi]... [--applied PATCH.msp]...\n"
    "                        [--json]\n"
    "       media_tool make OUT_DIR --setup Setup.exe --patch X.msp... --package Y.msi...\n"
    "                       [--url URL]\n"
    "\n"
    "check  reads update media as Setup.exe reads them: Install.dat (the URL, every\n"
    "       Patch_<edition> line against MSP\\), every patch package in MSP\\, and the probe\n"
    "       package (the first *.msp the folder search finds: the boxes take their caption\n"
    "       from its title). For each product package, as if it were the installed one, it\n"
    "       names the edition, the section, the listed patch and whether that patch targets\n"
    "       the product, and what Setup.exe would do: install mode, box, trace code, exit code.\n"
    "       It reads the signatures too, Setup.exe's and every patch's: a validly signed\n"
    "       Setup.exe refuses (1643) a patch that its own publisher did not validly sign.\n"
    "  --package FILE  a product package (.msi) of an edition, any build\n"
    "  --applied FILE  a patch package (.msp) already applied to the product\n"
    "  --json          the report as JSON\n"
    "\n"
    "make   lays out update media in OUT_DIR (new, or without media in it): Setup.exe, MSP\\\n"
    "       with the patches, and Install.dat with one Patch_<edition> section per edition\n"
    "       that lists each package's patch under the package's package code; then checks\n"
    "       the media and prints the table.\n"
    "  --setup FILE    the launcher (copied as Setup.exe)\n"
    "  --patch FILE    patch packages, paired with the packages in order; one serves all\n"
    "  --package FILE  the product packages the patches are for\n"
    "  --url URL       [Install] URL: the page the engine check's dialog links to\n"
    "\n"
    "Options that take files take one or more. Exit code: 0 no errors (warnings may be\n"
    "listed), 1 errors found, 2 wrong use. /? prints this text.\n";

namespace {

bool IsOption(const std::string& word) {
    return word.size() > 1 && (word.rfind("--", 0) == 0 || word[0] == '/');
}

// "/name" and "--name" are the same option.
std::string OptionName(const std::string& word) {
    return word.rfind("--", 0) == 0 ? word.substr(2) : word.substr(1);
}

bool CheckMake(const tagMediaArguments& arguments, std::string& error) {
    if (arguments.strSetup.empty() || arguments.astrPatches.empty() ||
        arguments.astrPackages.empty()) {
        error = "make needs --setup, --patch and --package";
        return false;
    }
    if (arguments.astrPatches.size() != 1 &&
        arguments.astrPatches.size() != arguments.astrPackages.size()) {
        error = "give one patch for all packages, or one patch per package";
        return false;
    }
    for (const std::string& patch : arguments.astrPatches) {
        if (GetPatchBaseName(patch).empty()) {
            error = patch + ": a patch package's file name ends in .msp";
            return false;
        }
    }
    return true;
}

} // namespace

bool ParseMediaArguments(const std::vector<std::string>& words, tagMediaArguments& arguments,
                         std::string& error) {
    for (const std::string& word : words) {
        if (word == "/?" || word == "-h" || word == "--help") {
            arguments.nCommand = MediaCommandHelp;
            return true;
        }
    }
    if (words.size() < 2 || IsOption(words[1])) {
        error = words.empty() ? "give a command" : "give the media folder after the command";
        return false;
    }
    const bool make = words[0] == "make";
    if (!make && words[0] != "check") {
        error = "unknown command " + words[0];
        return false;
    }
    arguments.nCommand = make ? MediaCommandMake : MediaCommandCheck;
    arguments.strFolder = words[1];

    std::map<std::string, std::vector<std::string>*> lists = {{"package", &arguments.astrPackages}};
    if (make) {
        lists["patch"] = &arguments.astrPatches;
    } else {
        lists["applied"] = &arguments.astrApplied;
    }
    for (std::size_t i = 2; i < words.size(); ++i) {
        if (!IsOption(words[i])) {
            error = "unexpected " + words[i];
            return false;
        }
        const std::string name = OptionName(words[i]);
        if (!make && name == "json") {
            arguments.bJson = true;
            continue;
        }
        const bool hasValue = i + 1 < words.size() && !IsOption(words[i + 1]);
        if (make && (name == "setup" || name == "url")) {
            const bool given =
                name == "setup" ? !arguments.strSetup.empty() : arguments.strUrl.has_value();
            if (!hasValue || given) {
                error = "--" + name + " takes one value, once";
                return false;
            }
            (name == "setup" ? arguments.strSetup : arguments.strUrl.emplace()) = words[++i];
            continue;
        }
        const auto list = lists.find(name);
        if (list == lists.end()) {
            error = "unknown option " + words[i] + " for " + words[0];
            return false;
        }
        if (!hasValue) {
            error = "--" + name + " needs a file";
            return false;
        }
        while (i + 1 < words.size() && !IsOption(words[i + 1])) {
            list->second->push_back(words[++i]);
        }
    }
    return !make || CheckMake(arguments, error);
}
