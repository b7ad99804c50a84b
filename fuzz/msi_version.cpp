// Version texts as the packages give them (ProductVersion, MsiPatchMetadata DBuildVersion).
#include "msiquery/msi_version.h"
#include "text/split_string.h"

#include "fuzz_input.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

bool IsPlainNumber(const std::string& part) {
    return !part.empty() && part.size() <= 9 &&
           part.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const DWORD packed = GetMSIVersion(text);

    std::vector<std::string> parts;
    SplitString(text, ".", parts);
    if (parts.size() < 3) {
        FUZZ_CHECK(packed == 0);
    } else if (IsPlainNumber(parts[0]) && IsPlainNumber(parts[1]) && IsPlainNumber(parts[2])) {
        const DWORD major = std::stoul(parts[0]);
        const DWORD minor = std::stoul(parts[1]);
        const DWORD build = std::stoul(parts[2]);
        FUZZ_CHECK(packed == (major << 24) + ((minor & 0xFF) << 16) + (build & 0xFFFF));
    }

    // The same bytes as three numbers, each cut to its field.
    int numbers[3] = {};
    if (size >= sizeof numbers) {
        std::memcpy(numbers, data, sizeof numbers);
        const DWORD made = MakeMSIVersion(numbers[0], numbers[1], numbers[2]);
        FUZZ_CHECK(((made >> 16) & 0xFF) == (static_cast<DWORD>(numbers[1]) & 0xFF));
        FUZZ_CHECK((made & 0xFFFF) == (static_cast<DWORD>(numbers[2]) & 0xFFFF));
    }
    return 0;
}
