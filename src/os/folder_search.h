// Enumerating a folder the way every search of the launcher needs it: files only.
#pragma once

#include "os/scoped_handle.h"

#include <string>

// Calls `visit` with each file that `pattern` matches, in the file system's order, until it
// returns false; folders (".", ".." and any that match the pattern) are passed over. False when
// the search found nothing at all, with FindFirstFileA's last error kept.
template <typename Visit>
bool ForEachFile(const std::string& pattern, Visit visit) {
    WIN32_FIND_DATAA found{};
    CFindHandle find(FindFirstFileA(pattern.c_str(), &found));
    if (!find.IsValid()) {
        return false;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !visit(found)) {
            break;
        }
    } while (FindNextFileA(find.Get(), &found));
    return true;
}
