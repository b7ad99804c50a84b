// Authenticode checks of a patch package: a package changed after it was signed is refused.
#include "scratch_fixture.h"

#include "patch/signature.h"

namespace conformance {
namespace {

class TrustTest : public ScratchTest {};

TEST_F(TrustTest, APackageChangedAfterSigningIsRefused) {
    // SOFTPUB_VerifyImageHash is a stub for the MSI subject interface package in Wine 8: it
    // never compares the content with its signature.
    SKIP_UNDER_WINE("WinVerifyTrust answers TRUST_E_BAD_DIGEST (0x80096010)");
    const std::string path = ChangedSignedPackage(m_folder);
    if (path.empty()) {
        GTEST_SKIP() << "no changed signed package given (CONFORMANCE_CHANGED_SIGNED_MSP)";
    }
    const tagSignature signature = ReadSignature(path);
    EXPECT_EQ(signature.lTrustResult, TRUST_E_BAD_DIGEST);
    EXPECT_FALSE(signature.IsValid());
}

} // namespace
} // namespace conformance
