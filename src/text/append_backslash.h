#pragma once

#include <string>

// Ends a folder path in "\" unless it is empty. Only the last byte is looked at, so a path
// ending in a double-byte character whose second byte is 0x5C (表) is taken to end in "\"
// already; the launcher's folders always end in a real "\", where both readings agree.
std::string AppendBackslash(const std::string& path);
