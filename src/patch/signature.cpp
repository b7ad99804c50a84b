#include "patch/signature.h"

#include <cstdio>
#include <vector>

namespace {

// WINTRUST_ACTION_GENERIC_VERIFY_V2: Authenticode.
GUID GenericVerifyAction() {
    return {0x00AAC56B, 0xCD44, 0x11D0, {0x8C, 0xC2, 0x00, 0xC0, 0x4F, 0xC2, 0x95, 0xEE}};
}

// The provider data of one verify call, released by the matching close call.
class CTrustState {
public:
    explicit CTrustState(WINTRUST_DATA& data) : m_data(data) {}
    ~CTrustState() {
        if (m_data.hWVTStateData != nullptr) {
            GUID action = GenericVerifyAction();
            m_data.dwStateAction = WTD_STATEACTION_CLOSE;
            WinVerifyTrust(reinterpret_cast<HWND>(INVALID_HANDLE_VALUE), &action, &m_data);
        }
    }
    CTrustState(const CTrustState&) = delete;
    CTrustState& operator=(const CTrustState&) = delete;

private:
    WINTRUST_DATA& m_data;
};

std::vector<WCHAR> WidePath(const std::string& path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(length > 0 ? static_cast<std::size_t>(length) : 0);
    if (length <= 0 ||
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length) != length) {
        return {};
    }
    return wide;
}

// The full distinguished name ("CN=..., O=..., C=JP"): the publisher, whatever certificate of
// it signed.
std::string SubjectOf(PCCERT_CONTEXT certificate) {
    DWORD nameType = CERT_X500_NAME_STR;
    const DWORD length =
        CertGetNameStringA(certificate, CERT_NAME_RDN_TYPE, 0, &nameType, nullptr, 0);
    if (length <= 1) {
        return "";
    }
    std::vector<char> name(length, '\0');
    if (CertGetNameStringA(certificate, CERT_NAME_RDN_TYPE, 0, &nameType, name.data(), length) !=
        length) {
        return "";
    }
    return name.data();
}

std::basic_string<WCHAR> WideSubjectOf(PCCERT_CONTEXT certificate) {
    DWORD nameType = CERT_X500_NAME_STR;
    const DWORD length =
        CertGetNameStringW(certificate, CERT_NAME_RDN_TYPE, 0, &nameType, nullptr, 0);
    if (length <= 1) {
        return {};
    }
    std::vector<WCHAR> name(length, 0);
    if (CertGetNameStringW(certificate, CERT_NAME_RDN_TYPE, 0, &nameType, name.data(), length) !=
        length) {
        return {};
    }
    return name.data();
}

} // namespace

tagSignature ReadSignature(const std::string& path) {
    tagSignature signature;
    std::vector<WCHAR> widePath = WidePath(path);
    if (widePath.empty()) {
        signature.lTrustResult = CRYPT_E_FILE_ERROR;
        return signature;
    }
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = widePath.data();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = GenericVerifyAction();
    signature.lTrustResult =
        WinVerifyTrust(reinterpret_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    const CTrustState state(data);
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data.hWVTStateData);
    CRYPT_PROVIDER_SGNR* signer =
        provider == nullptr ? nullptr : WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    CRYPT_PROVIDER_CERT* certificate =
        signer == nullptr ? nullptr : WTHelperGetProvCertFromChain(signer, 0);
    if (certificate != nullptr && certificate->pCert != nullptr) {
        signature.strSubject = SubjectOf(certificate->pCert);
        signature.wstrSubject = WideSubjectOf(certificate->pCert);
    }
    if (signature.lTrustResult == 0 && signer != nullptr && signer->pChainContext != nullptr) {
        CERT_CHAIN_POLICY_PARA policy{};
        policy.cbSize = sizeof policy;
        CERT_CHAIN_POLICY_STATUS status{};
        status.cbSize = sizeof status;
        signature.bChainChecked =
            CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, signer->pChainContext,
                                             &policy, &status) != FALSE;
        signature.dwChainError = signature.bChainChecked ? status.dwError : GetLastError();
    }
    return signature;
}

std::string FormatResultCode(unsigned long code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", code);
    return text;
}
