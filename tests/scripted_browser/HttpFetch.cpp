#include "HttpFetch.h"

#include <windows.h>
#include <wincrypt.h>
#include <wininet.h>

#include <algorithm>
#include <vector>

#include "ScriptedIids.h"
#include "TestCertificate.h"

namespace scripted {

namespace {

// INTERNET_OPTION_SERVER_CERT_CONTEXT, which mingw-w64's wininet.h lacks.
constexpr DWORD kOptionServerCertContext = 80;

// Closes a WinINet handle when it goes.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~InternetHandle()
    {
        if (m_handle)
            ::InternetCloseHandle(m_handle);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    operator HINTERNET() const { return m_handle; }

private:
    HINTERNET m_handle;
};

long StatusOfError(DWORD error)
{
    switch (error) {
    case ERROR_INTERNET_CANNOT_CONNECT:
        return kInetCannotConnect;
    case ERROR_INTERNET_TIMEOUT:
        return kInetConnectionTimeout;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
        return kInetResourceNotFound;
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_INVALID_CERT:
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
        return kInetInvalidCertificate;
    default:
        return kInetDownloadFailure;
    }
}

// The test server's certificate (DER); empty when it cannot be read.
std::vector<BYTE> TestCertificate()
{
    DWORD size = 0;
    if (!::CryptStringToBinaryA(kTestCertificatePem, 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
        return {};
    std::vector<BYTE> der(size);
    if (!::CryptStringToBinaryA(kTestCertificatePem, 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                                nullptr))
        return {};
    der.resize(size);
    return der;
}

bool IsTestCertificate(PCCERT_CONTEXT certificate)
{
    const std::vector<BYTE> expected = TestCertificate();
    return certificate && !expected.empty() && certificate->cbCertEncoded == expected.size() &&
           std::equal(expected.begin(), expected.end(), certificate->pbCertEncoded);
}

// Whether the server of this answered request showed exactly the test certificate.
bool ShowedTestCertificate(HINTERNET request)
{
    PCCERT_CONTEXT certificate = nullptr;
    DWORD size = sizeof certificate;
    if (::InternetQueryOptionA(request, kOptionServerCertContext, &certificate, &size) && certificate) {
        const bool same = IsTestCertificate(certificate);
        ::CertFreeCertificateContext(certificate);
        return same;
    }
    // Where the certificate alone is not offered, the chain is: its first element is the server's own.
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    size = sizeof chain;
    if (!::InternetQueryOptionA(request, INTERNET_OPTION_SERVER_CERT_CHAIN_CONTEXT, &chain, &size) || !chain)
        return false;
    const bool same = chain->cChain > 0 && chain->rgpChain[0]->cElement > 0 &&
                      IsTestCertificate(chain->rgpChain[0]->rgpElement[0]->pCertContext);
    ::CertFreeCertificateChain(chain);
    return same;
}

}  // namespace

HttpAnswer HttpFetch(const LoopbackUrl& url, const std::string& method, const std::string& body,
                     const std::string& headers)
{
    HttpAnswer answer;
    answer.failure = kInetCannotConnect;
    InternetHandle session(::InternetOpenA("KavoScriptedBrowser", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session)
        return answer;
    DWORD timeout = 10000;
    ::InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
    ::InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    ::InternetSetOptionA(session, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
    InternetHandle connection(::InternetConnectA(session, url.host.c_str(), url.port, nullptr, nullptr,
                                                 INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return answer;
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT |
                  INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_KEEP_CONNECTION;
    if (url.secure)
        flags |= INTERNET_FLAG_SECURE;
    InternetHandle request(
        ::HttpOpenRequestA(connection, method.c_str(), url.pathAndQuery.c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (!request)
        return answer;
    // The test certificate has no trusted root, and Wine does not match its address to an IP
    // name: both checks are left out at 127.0.0.1, and the certificate the server showed is
    // compared byte for byte with the test one once the answer is in.
    const bool trustTestCertificate = url.secure && url.host == "127.0.0.1";
    if (trustTestCertificate) {
        DWORD security = 0;
        DWORD size = sizeof security;
        ::InternetQueryOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &security, &size);
        security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_REVOCATION;
        ::InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof security);
    }
    std::string sent = body;
    if (!::HttpSendRequestA(request, headers.empty() ? nullptr : headers.c_str(), DWORD(headers.size()),
                            sent.empty() ? nullptr : &sent[0], DWORD(sent.size()))) {
        answer.failure = StatusOfError(::GetLastError());
        return answer;
    }
    if (trustTestCertificate && !ShowedTestCertificate(request)) {
        answer.failure = kInetInvalidCertificate;
        return answer;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    // A connection closed without a status line is no answer (Wine's WinINet reports status 0).
    if (!::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status == 0) {
        answer.failure = kInetDownloadFailure;
        return answer;
    }
    answer.reached = true;
    answer.failure = 0;
    answer.status = status;
    char location[2048];
    DWORD locationSize = sizeof location;
    if (::HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location, &locationSize, nullptr))
        answer.location.assign(location, locationSize);
    char buffer[8192];
    DWORD read = 0;
    while (::InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0)
        answer.body.append(buffer, read);
    return answer;
}

}  // namespace scripted
