// Names in the paths the release engineer gives: Windows paths, though "/" is taken too.
#pragma once

#include <string>

// The part after the last "\", "/" or ":".
std::string GetFileName(const std::string& path);

// The base name of a patch package in MSP\: its file name without ".msp" (any letter case);
// "" when the file name does not end in ".msp".
std::string GetPatchBaseName(const std::string& path);
