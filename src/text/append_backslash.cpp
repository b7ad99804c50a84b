#include "text/append_backslash.h"

#include "text/mbstring.h"

std::string AppendBackslash(const std::string& path) {
    // The last character, not the last byte: C:\表 ends in 0x5C inside 表 and still needs one.
    if (path.empty() || text::FindLastChar(path, '\\') == path.size() - 1) {
        return path;
    }
    return path + '\\';
}
