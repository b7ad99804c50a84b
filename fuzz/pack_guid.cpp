// Product and package codes as packages and Install.dat give them, packed as the installer
// keys its registration.
#include "msiquery/pack_guid.h"
#include "os/sim/installer.h"
#include "text/mbstring.h"

#include "fuzz_input.h"

#include <algorithm>
#include <string>

namespace {

// The packed form written out by hand: groups 1-3 reversed, then pairs swapped.
std::string PackedByHand(std::string_view guid) {
    std::string upper = text::MakeUpper(guid);
    constexpr std::pair<std::size_t, std::size_t> kGroups[] = {{1, 8}, {10, 4}, {15, 4}};
    std::string packed;
    for (auto [from, length] : kGroups) {
        std::string group = upper.substr(from, length);
        std::reverse(group.begin(), group.end());
        packed += group;
    }
    const std::string tail = upper.substr(20, 4) + upper.substr(25, 12);
    for (std::size_t at = 0; at < tail.size(); at += 2) {
        packed += tail[at + 1];
        packed += tail[at];
    }
    return packed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view code(reinterpret_cast<const char*>(data), size);
    const std::string packed = PackGUID(code);

    // Packing only drops and reorders: its bytes are some of the upper-cased text's.
    std::string have = packed;
    std::string from = text::MakeUpper(code);
    std::sort(have.begin(), have.end());
    std::sort(from.begin(), from.end());
    FUZZ_CHECK(std::includes(from.begin(), from.end(), have.begin(), have.end()));
    if (sim::IsGuidText(code)) {
        FUZZ_CHECK(packed == PackedByHand(code));
    }
    return 0;
}
