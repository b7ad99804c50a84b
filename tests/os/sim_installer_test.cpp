// The simulated installer finds applied patches by code as msi.dll does.
#include "os/sim/machine.h"
#include "os/win32api.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kFirst[] = "{11111111-0000-0000-0000-000000000000}";
constexpr char kSecond[] = "{22222222-0000-0000-0000-000000000000}";
constexpr char kPatch[] = "{ABCDEF01-1111-2222-3333-444444444444}";

TEST(SimInstaller, AppliedPatchesAreFoundByCodeWithoutRegardToCase) {
    sim::Machine machine;
    sim::Installer& msi = machine.Msi();
    // One code applied twice to the later product, then to the earlier one: the earlier
    // product's registration answers, and within a product the first one applied.
    msi.ApplyPatch(kSecond, {kPatch, ":T", "C:\\second-1.msp"});
    msi.ApplyPatch(kSecond, {"{abcdef01-1111-2222-3333-444444444444}", ":T", "C:\\second-2.msp"});
    EXPECT_EQ(msi.Patch(kPatch)->localPackage, "C:\\second-1.msp");
    msi.ApplyPatch(kFirst, {kPatch, ":T", "C:\\first.msp"});
    msi.ApplyPatch(kFirst, {"{00000000-1111-2222-3333-444444444444}", ":T", "C:\\other.msp"});

    struct Case {
        const char* code;
        const char* localPackage; // nullptr: not applied
    };
    const Case cases[] = {{kPatch, "C:\\first.msp"},
                          {"{abcdef01-1111-2222-3333-444444444444}", "C:\\first.msp"},
                          {"{00000000-1111-2222-3333-444444444444}", "C:\\other.msp"},
                          {"{ABCDEF01-1111-2222-3333-000000000000}", nullptr}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.code);
        const sim::AppliedPatch* patch = msi.Patch(test.code);
        ASSERT_EQ(patch != nullptr, test.localPackage != nullptr);
        char buffer[64] = {};
        DWORD length = sizeof buffer;
        const UINT result = MsiGetPatchInfoA(test.code, "LocalPackage", buffer, &length);
        if (test.localPackage == nullptr) {
            EXPECT_EQ(result, static_cast<UINT>(ERROR_UNKNOWN_PRODUCT));
            continue;
        }
        EXPECT_EQ(patch->localPackage, test.localPackage);
        EXPECT_EQ(result, static_cast<UINT>(ERROR_SUCCESS));
        EXPECT_STREQ(buffer, test.localPackage);
    }
}

} // namespace
