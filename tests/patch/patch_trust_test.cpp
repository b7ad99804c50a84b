// A signed Setup.exe applies only a patch signed by its own publisher; an unsigned one (a
// development build) applies any patch, as before signing existed.
#include "support/update_machine.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

constexpr char16_t kPublisher[] = u"CN=Ortolan Test Publisher, O=Ortolan, C=JP";
constexpr char kPatch[] = "C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp";

sim::Signature By(const char16_t* subject) {
    return {subject, true, true};
}

TEST(PatchTrustTest, WhichPatchesASignedLauncherApplies) {
    const std::optional<sim::Signature> unsigned_;
    sim::Signature broken = By(kPublisher);
    broken.digestMatches = false;
    sim::Signature untrusted = By(kPublisher);
    untrusted.rootTrusted = false;
    const struct {
        const char* name;
        std::optional<sim::Signature> setup;
        std::optional<sim::Signature> patch;
        bool acceptsUntrustedRoots; // WinVerifyTrust as Wine 8 answers
        int exitCode;
        const char* traced;
    } rows[] = {
        {"unsigned launcher, unsigned patch", unsigned_, unsigned_, false, 0,
         "Signature Check：Not Required"},
        {"unsigned launcher, patch of another", unsigned_, By(u"CN=Other"), false, 0,
         "Signature Check：Not Required"},
        {"same publisher", By(kPublisher), By(kPublisher), false, 0, "Signature Check：SUCCESS"},
        {"unsigned patch", By(kPublisher), unsigned_, false, 1643, "Result=0x800B0100"},
        {"another publisher", By(kPublisher), By(u"CN=Other, O=Ortolan, C=JP"), false, 1643,
         "Signer：CN=Other, O=Ortolan, C=JP"},
        {"a publisher whose name only starts the same", By(kPublisher),
         By(u"CN=Ortolan Test Publisher, O=Ortolan, C=JP, OU=x"), false, 1643,
         "Signature Check：Rejected"},
        // Its name in the code page ("?" for the kanji it lacks) is another's name exactly.
        {"a publisher whose name differs only where the code page has no character",
         By(u"CN=\u4E02 Test Publisher"), By(u"CN=? Test Publisher"), false, 1643,
         "Signature Check：Rejected"},
        {"changed after signing", By(kPublisher), broken, false, 1643, "Result=0x80096010"},
        {"an untrusted root", By(kPublisher), untrusted, false, 1643, "Result=0x800B0109"},
        {"an untrusted root that WinVerifyTrust lets pass", By(kPublisher), untrusted, true, 1643,
         "ChainPolicy：0x800B0109"},
        {"a launcher whose own root is untrusted checks nothing", untrusted, unsigned_, false, 0,
         "Signature Check：Not Required"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::UpdateMachine update;
        sim::Machine& machine = update.machine;
        const std::string late = std::string(test::kProgramFolder) + "late.dll";
        machine.Files().WriteFile(late, "late");
        machine.Files().SetFileTimes(late, 0, machine.Time().UniversalTicks());
        machine.Files().SetSignature("C:\\Media\\Setup.exe", row.setup);
        machine.Files().SetSignature(kPatch, row.patch);
        machine.SetTrustAcceptsUntrustedRoots(row.acceptsUntrustedRoots);
        EXPECT_EQ(update.Launch("/silent2"), row.exitCode);
        const bool rejected = row.exitCode == 1643;
        EXPECT_EQ(machine.Programs().Starts().size(), rejected ? 0u : 1u);
        EXPECT_EQ(machine.Files().ReadFile(std::string(test::kProgramFolder) + "Bakup_late.dll"),
                  std::nullopt);
        EXPECT_NE(update.Trace().find(row.traced), std::string::npos) << update.Trace();
        EXPECT_EQ(update.Trace().find("MessageBox：Ortolan Qerno6 E：パッチの発行元") !=
                      std::string::npos,
                  rejected)
            << update.Trace();
        EXPECT_EQ(sim::OpenTrustStates(), 0u);
    }
}

// Someone who can write to the media must not swap the patch between its check and the
// installer, nor Setup.exe between its start and the check: a checked patch is held, readers
// welcome, until the installer has ended, and Setup.exe for the whole run.
TEST(PatchTrustTest, TheLauncherAndACheckedPatchAreHeldUntilTheInstallerHasEnded) {
    constexpr char kSetup[] = "C:\\Media\\Setup.exe";
    const struct {
        const char* name;
        bool launcherSigned;
        const char* openByAnother; // at the start, with all sharing: a copy still writing, say
        DWORD accessOfAnother;
        int exitCode;
        bool patchChangeableWhileInstalling;
        const char* traced;
    } rows[] = {
        {"signed: both held while the installer runs", true, nullptr, 0, 0, false,
         "Signature Check：SUCCESS"},
        {"signed: a patch another has open for writing is refused", true, kPatch, GENERIC_WRITE,
         1643, false, "Patch Hold Err：C:\\Media\\MSP\\QernoE6_ALPHA_1234.msp：ErrCode = 32"},
        {"signed: a Setup.exe another has open to rename refuses every patch", true, kSetup, DELETE,
         1643, false, "Setup Hold Err：C:\\Media\\Setup.exe：ErrCode = 32"},
        {"unsigned: nothing checked, the patch not held", false, kPatch, GENERIC_WRITE, 0, true,
         "Signature Check：Not Required"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::UpdateMachine update;
        sim::Machine& machine = update.machine;
        if (row.launcherSigned) {
            machine.Files().SetSignature(kSetup, By(kPublisher));
            machine.Files().SetSignature(kPatch, By(kPublisher));
        }
        constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        std::shared_ptr<sim::OpenFile> another;
        if (row.openByAnother != nullptr) {
            another = machine.Files().HoldOpen(row.openByAnother, row.accessOfAnother, kShareAll);
        }
        bool patchChangeable = false;
        bool patchReadable = false;
        bool setupRenameable = true;
        machine.Programs().SetChildProgram([&](sim::Machine& m, const sim::ProcessStart&) {
            another.reset();
            DWORD error = 0;
            patchChangeable = m.Files().Open(kPatch, GENERIC_WRITE, kShareAll,
                                             sim::Disposition::OpenExisting, error) != nullptr;
            patchReadable = m.Files().Open(kPatch, GENERIC_READ, FILE_SHARE_READ,
                                           sim::Disposition::OpenExisting, error) != nullptr;
            setupRenameable = m.Files().Open(kSetup, DELETE, kShareAll,
                                             sim::Disposition::OpenExisting, error) != nullptr;
            return DWORD{0};
        });
        EXPECT_EQ(update.Launch("/silent2"), row.exitCode);
        EXPECT_NE(update.Trace().find(row.traced), std::string::npos) << update.Trace();
        if (row.exitCode == 0) {
            EXPECT_EQ(patchChangeable, row.patchChangeableWhileInstalling);
            EXPECT_TRUE(patchReadable) << "the installer reads it";
            EXPECT_FALSE(setupRenameable);
        }
        EXPECT_EQ(machine.OpenFileHandles(), 0u);
    }
}

TEST(PatchTrustTest, AttendedTheRefusalIsABox) {
    test::UpdateMachine update;
    update.machine.Files().SetSignature("C:\\Media\\Setup.exe", By(kPublisher));
    EXPECT_EQ(update.Launch(), 1643);
    const auto& boxes = update.machine.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u); // the setup box first, then the refusal
    EXPECT_EQ(boxes[1].caption, "Ortolan Qerno6 E");
    EXPECT_EQ(boxes[1].text, "パッチの発行元を確認できないため、セットアップを中止しました。");
    EXPECT_EQ(boxes[1].style, static_cast<UINT>(MB_OK | MB_ICONWARNING));
}

} // namespace
