#include "HttpFetch.h"

#include <windows.h>
#include <wininet.h>

namespace scripted {

namespace {

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

}  // namespace

HttpAnswer HttpFetch(const LoopbackUrl& url, const std::string* postBody, const std::string& headers)
{
    HttpAnswer answer;
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
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT |
                        INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_KEEP_CONNECTION;
    InternetHandle request(::HttpOpenRequestA(connection, postBody ? "POST" : "GET", url.pathAndQuery.c_str(),
                                              nullptr, nullptr, nullptr, flags, 0));
    if (!request)
        return answer;
    std::string body = postBody ? *postBody : std::string();
    if (!::HttpSendRequestA(request, headers.empty() ? nullptr : headers.c_str(), DWORD(headers.size()),
                            body.empty() ? nullptr : &body[0], DWORD(body.size())))
        return answer;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return answer;
    answer.reached = true;
    answer.status = status;
    char buffer[8192];
    DWORD read = 0;
    while (::InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0)
        answer.body.append(buffer, read);
    return answer;
}

}  // namespace scripted
