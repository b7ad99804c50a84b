#pragma once

#include <string>

// Ends a folder path in "\" unless it is empty or its last character already is one; a path
// ending in a double-byte character whose second byte is 0x5C (表) gets one.
std::string AppendBackslash(const std::string& path);
