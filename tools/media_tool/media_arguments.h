// media_tool's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum MediaCommand {
    MediaCommandHelp,
    MediaCommandCheck,
    MediaCommandMake,
};

struct tagMediaArguments {
    MediaCommand nCommand = MediaCommandHelp;
    std::string strFolder; // MEDIA_DIR or OUT_DIR
    std::vector<std::string> astrPackages;
    std::vector<std::string> astrApplied;
    std::vector<std::string> astrPatches;
    std::string strSetup;
    std::optional<std::string> strUrl;
    bool bJson = false;
};

extern const char kMediaToolUsage[];

// The words after the program name; false with the reason when they are no use of the tool.
bool ParseMediaArguments(const std::vector<std::string>& words, tagMediaArguments& arguments,
                         std::string& error);
