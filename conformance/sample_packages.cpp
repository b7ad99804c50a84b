#include "sample_packages.h"

namespace conformance {

std::string LongTargetList() {
    std::string targets = kSampleProductCode;
    for (int index = 1; index < 14; ++index) {
        targets += ";";
        targets += kSampleProductCode;
    }
    return targets;
}

} // namespace conformance
