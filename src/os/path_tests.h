// The two shell path tests the launcher makes together, in the order it makes them.
#pragma once

#include "os/win32api.h"

#include <string>

// The path exists and is a file, not a folder.
inline bool IsExistingFile(const std::string& path) {
    return PathFileExistsA(path.c_str()) && !PathIsDirectoryA(path.c_str());
}

// The path exists and is a folder.
inline bool IsExistingFolder(const std::string& path) {
    return PathFileExistsA(path.c_str()) && PathIsDirectoryA(path.c_str());
}
