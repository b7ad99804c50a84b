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
    // The same as the certificate has it, in Unicode: the code page's text is for reading only,
    // since it turns every character it lacks into a look-alike or "?".
    std::basic_string<WCHAR> wstrSubject;

    // Signed, unchanged since, and by a publisher whose chain Windows trusts. The chain is
    // checked apart from WinVerifyTrust, which Wine lets pass with an untrusted root.
    bool IsValid() const {
        return lTrustResult == 0 && bChainChecked && dwChainError == 0 && !strSubject.empty() &&
               !wstrSubject.empty();
    }

    // Both valid and by one publisher: certificates are renewed, the publisher's name stays.
    bool IsSamePublisherAs(const tagSignature& other) const {
        return IsValid() && other.IsValid() && wstrSubject == other.wstrSubject;
    }
};

[[nodiscard]] tagSignature ReadSignature(const std::string& path);

// A trust or chain result as Windows documents them: "0x800B0100".
[[nodiscard]] std::string FormatResultCode(unsigned long code);
