#include "os/folder_search.h"

#include "os/scoped_handle.h"

bool ForEachFile(const std::string& pattern,
                 const std::function<bool(const WIN32_FIND_DATAA&)>& visit) {
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
