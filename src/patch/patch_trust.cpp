#include "patch/patch_trust.h"

#include "log/trace_scope.h"
#include "patch/signature.h"
#include "run/launch_context.h"

namespace {

tagSignature TracedSignature(const std::string& path) {
    const tagSignature signature = ReadSignature(path);
    TraceLine("WinVerifyTrust：" + path +
              "  Result=" + FormatResultCode(static_cast<DWORD>(signature.lTrustResult)));
    if (signature.bChainChecked && signature.dwChainError != 0) {
        TraceLine("ChainPolicy：" + FormatResultCode(signature.dwChainError));
    }
    if (!signature.strSubject.empty()) {
        TraceLine("Signer：" + signature.strSubject);
    }
    return signature;
}

// Readers are welcome (the installer, other machines running the same media); writers,
// renames and deletes are not.
HANDLE OpenForReadingOnly(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

CFileHandle HoldLauncherFile(const std::string& exePath) {
    CFileHandle hold(OpenForReadingOnly(exePath));
    if (!hold.IsValid()) {
        TraceLastError(("Setup Hold Err：" + exePath).c_str());
    }
    return hold;
}

PatchTrust CheckPatchTrust(const tagLaunchContext& context, const std::string& patchPath,
                           CFileHandle& hold) {
    CTraceScope scope("CheckSignature");
    const tagSignature own = TracedSignature(context.strExePath);
    if (!own.IsValid()) {
        TraceLine("Signature Check：Not Required");
        return PatchTrust::NotRequired;
    }
    if (!context.bExeHeld) {
        TraceLine("Signature Check：Rejected");
        return PatchTrust::Rejected;
    }
    hold.Reset(OpenForReadingOnly(patchPath));
    if (!hold.IsValid()) {
        TraceLastError(("Patch Hold Err：" + patchPath).c_str());
        TraceLine("Signature Check：Rejected");
        return PatchTrust::Rejected;
    }
    const tagSignature patch = TracedSignature(patchPath);
    if (patch.IsSamePublisherAs(own)) {
        TraceLine("Signature Check：SUCCESS");
        return PatchTrust::Trusted;
    }
    TraceLine("Signature Check：Rejected");
    return PatchTrust::Rejected;
}
