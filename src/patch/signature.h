// A file's Authenticode signature as Windows judges it, without asking anyone and without
// fetching anything from the network.
#pragma once

#include "os/win32api.h"

#include <string>

struct tagSignature {
    LONG lTrustResult = 0; // WinVerifyTrust's answer (0: signed, intact, trusted)
    bool bChainChecked = false;
    DWORD dwChainError = 0; // the Authenticode chain policy's answer, once checked
    std::string strSubject; // the signer certificate's subject, "" when none was read

    // Signed, unchanged since, and by a publisher whose chain Windows trusts. The chain is
    // checked apart from WinVerifyTrust, which Wine lets pass with an untrusted root.
    bool IsValid() const {
        return lTrustResult == 0 && bChainChecked && dwChainError == 0 && !strSubject.empty();
    }
};

[[nodiscard]] tagSignature ReadSignature(const std::string& path);

// A trust or chain result as Windows documents them: "0x800B0100".
[[nodiscard]] std::string FormatResultCode(unsigned long code);
