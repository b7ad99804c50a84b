#include "msiquery/msi_version.h"

#include "log/trace_scope.h"
#include "text/split_string.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

// The C library's decimal conversion (leading blanks and a sign allowed, stopping at the first
// non-digit, 0 without digits), saturating at the int range as the Microsoft runtime's atoi
// does instead of overflowing.
int DecimalValue(const std::string& text) {
    return static_cast<int>(
        std::clamp<long long>(std::strtoll(text.c_str(), nullptr, 10), INT_MIN, INT_MAX));
}

} // namespace

DWORD GetMSIVersion(const std::string& versionText) {
    CTraceScope scope("GetMSIVersion");
    TraceLine("Version:" + versionText);
    std::vector<std::string> parts;
    SplitString(versionText, ".", parts);
    if (parts.size() < 3) {
        return 0;
    }
    return MakeMSIVersion(DecimalValue(parts[0]), DecimalValue(parts[1]), DecimalValue(parts[2]));
}

DWORD MakeMSIVersion(int major, int minor, int build) {
    CTraceScope scope("GetMSIVersion");
    const DWORD packed = (static_cast<DWORD>(major) << 24) +
                         ((static_cast<DWORD>(minor) & 0xFF) << 16) +
                         (static_cast<DWORD>(build) & 0xFFFF);
    TraceCode(major);
    TraceCode(minor);
    TraceCode(build);
    TraceCode(static_cast<int>(packed));
    return packed;
}
