#include "CodeSignature.h"

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstring>
#include <vector>

namespace {

CStringW ToWide(const char* text)
{
    CStringW wide;
    const int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (chars > 1) {
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.GetBufferSetLength(chars - 1), chars);
        wide.ReleaseBuffer(chars - 1);
    }
    return wide;
}

// Only an explicit code-signing usage counts: a certificate without any usage list is
// valid for everything, which a publisher's signing certificate never is.
bool AllowsCodeSigning(PCCERT_CONTEXT cert)
{
    DWORD size = 0;
    if (!CertGetEnhancedKeyUsage(cert, 0, nullptr, &size) || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* usage = reinterpret_cast<CERT_ENHKEY_USAGE*>(buffer.data());
    if (!CertGetEnhancedKeyUsage(cert, 0, usage, &size))
        return false;
    for (DWORD i = 0; i < usage->cUsageIdentifier; ++i) {
        if (std::strcmp(usage->rgpszUsageIdentifier[i], szOID_PKIX_KP_CODE_SIGNING) == 0)
            return true;
    }
    return false;
}

CString SubjectName(PCCERT_CONTEXT cert)
{
    CString name;
    const DWORD chars = CertGetNameStringA(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    if (chars > 1) {
        CertGetNameStringA(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.GetBufferSetLength(int(chars - 1)), chars);
        name.ReleaseBuffer(int(chars - 1));
    }
    return name;
}

// The verify call keeps its state for the signer checks; this closes it on every road.
class TrustState {
public:
    TrustState(const wchar_t* path, HANDLE file)
    {
        m_file.cbStruct = sizeof m_file;
        m_file.pcwszFilePath = path;
        m_file.hFile = file == INVALID_HANDLE_VALUE ? nullptr : file;
        m_data.cbStruct = sizeof m_data;
        m_data.dwUIChoice = WTD_UI_NONE;
        // No revocation lookups: they would go to the network from the checking machine.
        m_data.fdwRevocationChecks = WTD_REVOKE_NONE;
        m_data.dwUnionChoice = WTD_CHOICE_FILE;
        m_data.pFile = &m_file;
        m_data.dwStateAction = WTD_STATEACTION_VERIFY;
        m_data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
        GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
        m_result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &m_data);
    }
    ~TrustState()
    {
        m_data.dwStateAction = WTD_STATEACTION_CLOSE;
        GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
        WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &m_data);
    }
    TrustState(const TrustState&) = delete;
    TrustState& operator=(const TrustState&) = delete;

    LONG Result() const { return m_result; }
    // The first signer, or null.
    CRYPT_PROVIDER_SGNR* Signer() const
    {
        CRYPT_PROVIDER_DATA* provider = m_data.hWVTStateData ? WTHelperProvDataFromStateData(m_data.hWVTStateData) : nullptr;
        return provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    }

private:
    WINTRUST_FILE_INFO m_file = {};
    WINTRUST_DATA m_data = {};
    LONG m_result = 0;
};

}  // namespace

bool IsPublisherKey(const char* key)
{
    return key && (std::strcmp(key, kSecuritySoftwarePublisherKey) == 0 || std::strcmp(key, kOwnUpdatePublisherKey) == 0);
}

SignatureCheck VerifyCodeSignature(const char* path, const char* expectedPublisher, HANDLE file)
{
    SignatureCheck check;
    if (!expectedPublisher || !*expectedPublisher) {
        check.verdict = SignatureVerdict::NoExpectedPublisher;
        return check;
    }
    const CStringW widePath = ToWide(path ? path : "");
    if (widePath.IsEmpty() || (file == INVALID_HANDLE_VALUE && GetFileAttributesW(widePath) == INVALID_FILE_ATTRIBUTES)) {
        check.verdict = SignatureVerdict::Unreadable;
        return check;
    }

    TrustState state(widePath, file);
    check.trustResult = state.Result();
    CRYPT_PROVIDER_SGNR* signer = state.Signer();
    PCCERT_CONTEXT cert = signer && signer->csCertChain > 0 ? signer->pasCertChain[0].pCert : nullptr;
    if (cert)
        check.subject = SubjectName(cert);
    if (check.trustResult != 0) {
        check.verdict = SignatureVerdict::NotTrusted;
        return check;
    }
    // Some providers accept an untrusted root or an expired certificate: the chain says so.
    if (!signer || !signer->pChainContext || !cert) {
        check.verdict = SignatureVerdict::ChainError;
        return check;
    }
    check.chainErrors = signer->pChainContext->TrustStatus.dwErrorStatus;
    if (check.chainErrors != 0)
        check.verdict = SignatureVerdict::ChainError;
    else if (!AllowsCodeSigning(cert))
        check.verdict = SignatureVerdict::NotForCodeSigning;
    else if (check.subject != expectedPublisher)
        check.verdict = SignatureVerdict::OtherPublisher;
    else
        check.verdict = SignatureVerdict::Trusted;
    return check;
}

CString DescribeSignatureCheck(const SignatureCheck& check)
{
    CString line;
    switch (check.verdict) {
    case SignatureVerdict::Trusted:
        line = "signature trusted";
        break;
    case SignatureVerdict::NoExpectedPublisher:
        line = "refused: no expected publisher is defined";
        break;
    case SignatureVerdict::Unreadable:
        line = "refused: the file cannot be read";
        break;
    case SignatureVerdict::NotTrusted:
        line.Format("refused: signature not trusted (WinVerifyTrust 0x%08lX)", static_cast<unsigned long>(check.trustResult));
        break;
    case SignatureVerdict::ChainError:
        line.Format("refused: the signer's certificate chain has errors (0x%08lX)", static_cast<unsigned long>(check.chainErrors));
        break;
    case SignatureVerdict::NotForCodeSigning:
        line = "refused: the signer's certificate is not for code signing";
        break;
    case SignatureVerdict::OtherPublisher:
        line = "refused: signed by another publisher";
        break;
    }
    if (!check.subject.IsEmpty())
        line += " [signer: " + check.subject + "]";
    return line;
}
