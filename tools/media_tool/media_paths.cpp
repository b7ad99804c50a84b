#include "media_paths.h"

#include "text/mbstring.h"

#include <algorithm>

namespace {
constexpr char kPatchExtension[] = ".MSP";
constexpr std::size_t kPatchExtensionLength = sizeof kPatchExtension - 1;
} // namespace

std::string GetFileName(const std::string& path) {
    std::size_t start = 0;
    for (char separator : {'\\', '/', ':'}) {
        const std::size_t at = text::FindLastChar(path, separator);
        if (at != text::npos) {
            start = std::max(start, at + 1);
        }
    }
    return path.substr(start);
}

std::string GetPatchBaseName(const std::string& path) {
    const std::string name = GetFileName(path);
    if (name.size() <= kPatchExtensionLength ||
        text::MakeUpper(name.substr(name.size() - kPatchExtensionLength)) != kPatchExtension) {
        return "";
    }
    return name.substr(0, name.size() - kPatchExtensionLength);
}
