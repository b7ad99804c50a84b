// Enumerating a folder the way every search of the launcher needs it: files only.
#pragma once

#include "os/win32api.h"

#include <functional>
#include <string>

// Calls `visit` with each file that `pattern` matches, in the file system's order, until it
// returns false; folders (".", ".." and any that match the pattern) are passed over. False when
// the search found nothing at all, with FindFirstFileA's last error kept.
bool ForEachFile(const std::string& pattern,
                 const std::function<bool(const WIN32_FIND_DATAA&)>& visit);
