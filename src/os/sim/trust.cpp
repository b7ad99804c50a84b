// Simulated Authenticode checks: WinVerifyTrust with the generic verify action, the provider
// data it keeps between its verify and close calls, the signer's certificate name, and the
// Authenticode chain policy. A file's signature is set up with FileSystem::SetSignature.
#include "os/sim/code_page.h"
#include "os/sim/machine.h"

#include <algorithm>
#include <map>
#include <memory>

namespace {

// What one verify call leaves for the helpers, until its close call.
struct TrustState {
    CRYPT_PROVIDER_DATA data{sizeof(CRYPT_PROVIDER_DATA)};
    CRYPT_PROVIDER_SGNR signer{sizeof(CRYPT_PROVIDER_SGNR), nullptr};
    CRYPT_PROVIDER_CERT cert{sizeof(CRYPT_PROVIDER_CERT), nullptr};
    CERT_CONTEXT context{1};
    CERT_CHAIN_CONTEXT chain{sizeof(CERT_CHAIN_CONTEXT)};
    sim::Signature signature;
};

std::map<HANDLE, std::unique_ptr<TrustState>>& States() {
    static std::map<HANDLE, std::unique_ptr<TrustState>> states;
    return states;
}

template <typename Member>
TrustState* StateOf(const Member* member, Member TrustState::*field) {
    for (auto& [handle, state] : States()) {
        if (&(state.get()->*field) == member) {
            return state.get();
        }
    }
    return nullptr;
}

} // namespace

namespace sim {
std::size_t OpenTrustStates() {
    return States().size();
}
} // namespace sim

LONG WINAPI WinVerifyTrust(HWND /*hwnd*/, GUID* /*pgActionID*/, LPVOID pWVTData) {
    auto* data = static_cast<WINTRUST_DATA*>(pWVTData);
    if (data == nullptr || data->dwUnionChoice != WTD_CHOICE_FILE || data->pFile == nullptr) {
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    }
    if (data->dwStateAction == WTD_STATEACTION_CLOSE) {
        States().erase(data->hWVTStateData);
        data->hWVTStateData = nullptr;
        return 0;
    }
    const std::string path = sim::Utf16ToCp932Lossy(data->pFile->pcwszFilePath);
    DWORD error = 0;
    auto node = sim::Machine::Current().Files().Find(path, error);
    if (!node || node->IsFolder()) {
        return CRYPT_E_FILE_ERROR;
    }
    if (!node->signature) {
        return TRUST_E_NOSIGNATURE;
    }
    // The state is kept for a signature that was read, good or bad, as Windows keeps it.
    auto state = std::make_unique<TrustState>();
    state->signature = *node->signature;
    state->signer.pChainContext = &state->chain;
    state->cert.pCert = &state->context;
    HANDLE handle = state.get();
    States()[handle] = std::move(state);
    if (data->dwStateAction == WTD_STATEACTION_VERIFY) {
        data->hWVTStateData = handle;
    } else {
        States().erase(handle);
    }
    if (!node->signature->digestMatches) {
        return TRUST_E_BAD_DIGEST;
    }
    if (!node->signature->rootTrusted && !sim::Machine::Current().TrustAcceptsUntrustedRoots()) {
        return CERT_E_UNTRUSTEDROOT;
    }
    return 0;
}

CRYPT_PROVIDER_DATA* WINAPI WTHelperProvDataFromStateData(HANDLE hStateData) {
    auto found = States().find(hStateData);
    return found == States().end() ? nullptr : &found->second->data;
}

CRYPT_PROVIDER_SGNR* WINAPI WTHelperGetProvSignerFromChain(CRYPT_PROVIDER_DATA* pProvData,
                                                           DWORD idxSigner, BOOL fCounterSigner,
                                                           DWORD /*idxCounterSigner*/) {
    TrustState* state = StateOf(pProvData, &TrustState::data);
    return state == nullptr || idxSigner != 0 || fCounterSigner ? nullptr : &state->signer;
}

CRYPT_PROVIDER_CERT* WINAPI WTHelperGetProvCertFromChain(CRYPT_PROVIDER_SGNR* pSgnr,
                                                         DWORD idxCert) {
    TrustState* state = StateOf(pSgnr, &TrustState::signer);
    return state == nullptr || idxCert != 0 ? nullptr : &state->cert;
}

namespace {

// The signer's subject when that certificate and name type are asked for; an unknown
// certificate or name type gives the empty name.
std::u16string SubjectAskedFor(PCCERT_CONTEXT certificate, DWORD type, const void* typePara) {
    TrustState* state = StateOf(certificate, &TrustState::context);
    if (state != nullptr && type == CERT_NAME_RDN_TYPE && typePara != nullptr &&
        *static_cast<const DWORD*>(typePara) == CERT_X500_NAME_STR) {
        return state->signature.subject;
    }
    return {};
}

// As much of `name` as fits, NUL-terminated: the count of characters written, the NUL
// included; without a buffer, the count needed.
template <typename Char>
DWORD CopyName(const std::basic_string<Char>& name, Char* buffer, DWORD capacity) {
    const auto needed = static_cast<DWORD>(name.size() + 1);
    if (buffer == nullptr || capacity == 0) {
        return needed;
    }
    const DWORD copied = std::min(needed, capacity) - 1;
    std::copy_n(name.data(), copied, buffer);
    buffer[copied] = 0;
    return copied + 1;
}

} // namespace

DWORD WINAPI CertGetNameStringA(PCCERT_CONTEXT pCertContext, DWORD dwType, DWORD /*dwFlags*/,
                                void* pvTypePara, LPSTR pszNameString, DWORD cchNameString) {
    return CopyName(sim::Utf16ToCp932Lossy(SubjectAskedFor(pCertContext, dwType, pvTypePara)),
                    pszNameString, cchNameString);
}

DWORD WINAPI CertGetNameStringW(PCCERT_CONTEXT pCertContext, DWORD dwType, DWORD /*dwFlags*/,
                                void* pvTypePara, LPWSTR pszNameString, DWORD cchNameString) {
    return CopyName(SubjectAskedFor(pCertContext, dwType, pvTypePara), pszNameString,
                    cchNameString);
}

BOOL WINAPI CertVerifyCertificateChainPolicy(LPCSTR pszPolicyOID,
                                             PCCERT_CHAIN_CONTEXT pChainContext,
                                             CERT_CHAIN_POLICY_PARA* /*pPolicyPara*/,
                                             CERT_CHAIN_POLICY_STATUS* pPolicyStatus) {
    TrustState* state = StateOf(pChainContext, &TrustState::chain);
    if (state == nullptr || pPolicyStatus == nullptr ||
        pszPolicyOID != CERT_CHAIN_POLICY_AUTHENTICODE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    pPolicyStatus->dwError =
        state->signature.rootTrusted ? 0 : static_cast<DWORD>(CERT_E_UNTRUSTEDROOT);
    return TRUE;
}
