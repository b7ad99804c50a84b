// The sample product and patch packages of the installer checks. Under Wine they are real
// files built by the test command (wixl for the product, e2e/wine/tools/patch_database for the
// patches) and the product is installed; in the simulated world the same contents are set up.
#pragma once

#include <string>

namespace conformance {

constexpr char kSampleProductCode[] = "{12345678-ABCD-EF01-2345-6789ABCDEF01}";
constexpr char kSamplePatchCode[] = "{AAAAAAAA-1111-2222-3333-444444444444}";
constexpr char kSampleEdition[] = "QernoE6 ALPHA";
constexpr char kSampleProductVersion[] = "6.0.1000";
constexpr char kSamplePatchTitle[] = "QernoE6 E Build 1234";
constexpr std::size_t kSampleLongPropLength = 5000;

// Files in the folder: product.msi, build1234.msp (DBuildVersion 6.0.1234), nobuild.msp (no
// DBuildVersion row), twonumbers.msp (DBuildVersion 6.0), longtarget.msp (a target list of 14
// product codes, 545 characters).
std::string SamplePackagesFolder();

// The target list of longtarget.msp.
std::string LongTargetList();

} // namespace conformance
