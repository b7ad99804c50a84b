// What the fuzz targets share: one input cut into the parts a target feeds to different places,
// and the check that turns a broken promise into a finding libFuzzer keeps.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace fuzz {

// Parts are separated by a line of their own, so that seeds stay text a person can edit.
constexpr std::string_view kPartSeparator = "\n--8<--\n";

inline std::vector<std::string_view> SplitParts(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    for (std::size_t at = rest.find(kPartSeparator); at != std::string_view::npos;
         at = rest.find(kPartSeparator)) {
        parts.push_back(rest.substr(0, at));
        rest.remove_prefix(at + kPartSeparator.size());
    }
    parts.push_back(rest);
    return parts;
}

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace fuzz

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::fuzz::Fail(#condition, __FILE__, __LINE__);                                          \
        }                                                                                          \
    } while (false)
