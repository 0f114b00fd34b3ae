#include "CWinInetRequest.h"

#include "UrlParts.h"

namespace {

// RELOAD, NO_CACHE_WRITE, NO_AUTO_REDIRECT, NO_COOKIES, RESYNCHRONIZE, NO_UI, PRAGMA_NOCACHE.
const DWORD kPlainFlags = 0x84280B00;
// Certificate errors are never ignored: these requests carry customer data.
const DWORD kSecureFlags = kPlainFlags | INTERNET_FLAG_SECURE;

const DWORD kReadChunk = 16384;

}  // namespace

CWinInetRequest::CWinInetRequest(const char* agent, DWORD accessType, DWORD secure)
    : m_flags(secure ? kSecureFlags : kPlainFlags), m_secure(secure)
{
    m_internet = InternetOpenA(agent, accessType, nullptr, nullptr, 0);
}

CWinInetRequest::~CWinInetRequest()
{
    Close();
}

bool CWinInetRequest::CrackUrl(const char* url)
{
    CUrlParts parts;
    if (!SplitUrl(url, parts))
        return false;
    m_port = parts.port;
    m_flags = (parts.secure || m_secure) ? kSecureFlags : kPlainFlags;
    return true;
}

bool CWinInetRequest::Connect(const char* host, INTERNET_PORT port, const char* user, const char* password)
{
    if (!m_internet)
        return false;
    if (m_connection) {
        InternetCloseHandle(m_connection);
        m_connection = nullptr;
    }
    // An empty name is no name: the server is not offered credentials it did not ask for.
    const auto orNull = [](const char* text) { return text && *text ? text : nullptr; };
    m_connection = InternetConnectA(m_internet, host, port, orNull(user), orNull(password), INTERNET_SERVICE_HTTP, 0, 0);
    return m_connection != nullptr;
}

bool CWinInetRequest::ConnectUrl(const char* host, INTERNET_PORT port, const char* user, const char* password, const char* url)
{
    return CrackUrl(url) && Connect(host, port, user, password);
}

bool CWinInetRequest::OpenRequest(const char* verb, const char* path)
{
    if (!m_connection)
        return false;
    if (m_request) {
        InternetCloseHandle(m_request);
        m_request = nullptr;
    }
    m_status = 0;
    m_request = HttpOpenRequestA(m_connection, verb, path, "HTTP/1.1", nullptr, nullptr, m_flags, 0);
    return m_request != nullptr;
}

bool CWinInetRequest::Get(const char* path, ISequentialStream* stream)
{
    if (!OpenRequest("GET", path))
        return false;
    if (!HttpSendRequestA(m_request, nullptr, 0, nullptr, 0))
        return false;
    return ReadAnswer(stream);
}

bool CWinInetRequest::Post(const char* path, const void* body, DWORD length, ISequentialStream* stream)
{
    if (!OpenRequest("POST", path))
        return false;
    static const char kFormHeader[] = "Content-Type: application/x-www-form-urlencoded\r\n";
    if (!HttpSendRequestA(m_request, kFormHeader, DWORD(-1), const_cast<void*>(body), length))
        return false;
    return ReadAnswer(stream);
}

bool CWinInetRequest::ReadAnswer(ISequentialStream* stream)
{
    DWORD status = 0;
    DWORD size = sizeof status;
    if (HttpQueryInfoA(m_request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        m_status = status;
    return m_status == 200 && ReadBody(stream);
}

bool CWinInetRequest::ReadBody(ISequentialStream* stream)
{
    if (!m_request)
        return false;
    // A connection that ends before the announced length is a failure, not a short body.
    DWORD announced = 0;
    DWORD size = sizeof announced;
    const bool hasLength =
        HttpQueryInfoA(m_request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &announced, &size, nullptr) != FALSE;

    char chunk[kReadChunk];
    unsigned long long total = 0;
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(m_request, chunk, sizeof chunk, &read))
            return false;
        if (read == 0)
            break;
        total += read;
        if (stream) {
            ULONG written = 0;
            if (FAILED(stream->Write(chunk, read, &written)) || written != read)
                return false;
        }
    }
    return !hasLength || total >= announced;
}

bool CWinInetRequest::QueryDateHeader(DWORD headerId, SYSTEMTIME* time)
{
    if (!m_request || !time)
        return false;
    DWORD size = sizeof *time;
    const DWORD info = (headerId & ~(HTTP_QUERY_FLAG_NUMBER | HTTP_QUERY_FLAG_COALESCE)) | HTTP_QUERY_FLAG_SYSTEMTIME;
    return HttpQueryInfoA(m_request, info, time, &size, nullptr) != FALSE;
}

void CWinInetRequest::Close()
{
    for (HINTERNET* handle : {&m_request, &m_connection, &m_internet}) {
        if (*handle) {
            InternetCloseHandle(*handle);
            *handle = nullptr;
        }
    }
}
