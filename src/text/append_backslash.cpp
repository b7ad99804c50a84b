#include "text/append_backslash.h"

std::string AppendBackslash(const std::string& path) {
    if (path.empty() || path.back() == '\\') {
        return path;
    }
    return path + '\\';
}
