#include "trust_check.h"

#include "os/path_tests.h"
#include "patch/patch_trust.h"
#include "run/exit_codes.h"
#include "run/launch_context.h"

#include <cstdio>

namespace {

std::string RefusalText(const tagSignature& setup, const tagSignature& patch) {
    std::string why;
    if (patch.IsSamePublisherAs(setup)) {
        why = "another program has it open for writing";
    } else if (patch.IsValid()) {
        why =
            "signed by " + patch.strSubject + ", not by Setup.exe's publisher " + setup.strSubject;
    } else if (!IsSigned(patch)) {
        why = "unsigned";
    } else {
        why = "its signature is not valid (" + GetSignatureFault(patch) + ")";
    }
    return why + ": the signed Setup.exe refuses it and exits " +
           std::to_string(ExitCodePatchRejected);
}

} // namespace

bool IsSigned(const tagSignature& signature) {
    return signature.lTrustResult != TRUST_E_NOSIGNATURE;
}

std::string GetSignatureFault(const tagSignature& signature) {
    if (signature.IsValid()) {
        return "";
    }
    if (!IsSigned(signature)) {
        return "unsigned";
    }
    if (signature.lTrustResult != 0) {
        return "WinVerifyTrust " + FormatResultCode(static_cast<DWORD>(signature.lTrustResult));
    }
    if (!signature.bChainChecked) {
        return "chain policy not checked";
    }
    if (signature.dwChainError != 0) {
        return "chain policy " + FormatResultCode(signature.dwChainError);
    }
    return "no signer's subject";
}

void CheckTrust(const tagLaunchContext& context, tagMediaReport& report) {
    const std::string patchFolder = context.strExeDir + "MSP\\";
    for (tagPatchFile& patch : report.aPatches) {
        patch.signature = ReadSignature(patchFolder + patch.strName);
    }
    if (!IsExistingFile(context.strExePath)) {
        report.AddWarning("Setup.exe", "missing: whether a signed launcher would accept the "
                                       "patches is not known");
        return;
    }
    const tagSignature& setup = report.setupSignature.emplace(ReadSignature(context.strExePath));
    if (IsSigned(setup) && !setup.IsValid()) {
        report.AddWarning("Setup.exe", "signed, but the signature is not valid here (" +
                                           GetSignatureFault(setup) +
                                           "): it checks no patch's signature");
    }
    if (setup.IsValid() && !context.bExeHeld) {
        report.AddError("Setup.exe", "another program has it open for writing or deleting: the "
                                     "signed Setup.exe refuses every patch and exits " +
                                         std::to_string(ExitCodePatchRejected));
        return;
    }
    for (const tagPatchFile& patch : report.aPatches) {
        // The launcher's own verdict, so that the check and a run cannot disagree.
        CFileHandle judged; // nothing is installed here: the hold ends with the judgement
        if (CheckPatchTrust(context, patchFolder + patch.strName, judged) == PatchTrust::Rejected) {
            report.AddError("MSP\\" + patch.strName, RefusalText(setup, patch.signature));
        }
    }
}
