// wintrust.dll and crypt32.dll entry points the launcher calls: Authenticode signatures.
#include "os/win32/system_library.h"

SETUP_FORWARD(Wintrust, LONG, static_cast<LONG>(TRUST_E_PROVIDER_UNKNOWN), WinVerifyTrust,
              (HWND hwnd, GUID* pgActionID, LPVOID pWVTData), (hwnd, pgActionID, pWVTData))
SETUP_FORWARD(Wintrust, CRYPT_PROVIDER_DATA*, nullptr, WTHelperProvDataFromStateData,
              (HANDLE hStateData), (hStateData))
SETUP_FORWARD(Wintrust, CRYPT_PROVIDER_SGNR*, nullptr, WTHelperGetProvSignerFromChain,
              (CRYPT_PROVIDER_DATA * pProvData, DWORD idxSigner, WINBOOL fCounterSigner,
               DWORD idxCounterSigner),
              (pProvData, idxSigner, fCounterSigner, idxCounterSigner))
SETUP_FORWARD(Wintrust, CRYPT_PROVIDER_CERT*, nullptr, WTHelperGetProvCertFromChain,
              (CRYPT_PROVIDER_SGNR * pSgnr, DWORD idxCert), (pSgnr, idxCert))
SETUP_FORWARD(Crypt32, DWORD, 0, CertGetNameStringA,
              (PCCERT_CONTEXT pCertContext, DWORD dwType, DWORD dwFlags, void* pvTypePara,
               LPSTR pszNameString, DWORD cchNameString),
              (pCertContext, dwType, dwFlags, pvTypePara, pszNameString, cchNameString))
SETUP_FORWARD(Crypt32, DWORD, 0, CertGetNameStringW,
              (PCCERT_CONTEXT pCertContext, DWORD dwType, DWORD dwFlags, void* pvTypePara,
               LPWSTR pszNameString, DWORD cchNameString),
              (pCertContext, dwType, dwFlags, pvTypePara, pszNameString, cchNameString))
SETUP_FORWARD(Crypt32, WINBOOL, FALSE, CertVerifyCertificateChainPolicy,
              (LPCSTR pszPolicyOID, PCCERT_CHAIN_CONTEXT pChainContext,
               PCERT_CHAIN_POLICY_PARA pPolicyPara, PCERT_CHAIN_POLICY_STATUS pPolicyStatus),
              (pszPolicyOID, pChainContext, pPolicyPara, pPolicyStatus))
