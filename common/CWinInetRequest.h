#pragma once
// A synchronous WinINet request for GET and form POST; the answer counts only with status
// 200, and its body goes into a stream. One object is used by one thread.
#include <windows.h>
#include <objidl.h>
#include <wininet.h>

class CWinInetRequest {
public:
    // InternetOpen(agent, accessType). secure puts every request of this object on TLS.
    CWinInetRequest(const char* agent, DWORD accessType, DWORD secure);
    ~CWinInetRequest();
    CWinInetRequest(const CWinInetRequest&) = delete;
    CWinInetRequest& operator=(const CWinInetRequest&) = delete;

    // Chooses the request flags by scheme (http, https; others fail) and keeps the port.
    bool CrackUrl(const char* url);
    bool Connect(const char* host, INTERNET_PORT port, const char* user, const char* password);
    // CrackUrl(url) for the flags, then Connect: the way to reach an https URL over TLS.
    bool ConnectUrl(const char* host, INTERNET_PORT port, const char* user, const char* password, const char* url);
    bool OpenRequest(const char* verb, const char* path);
    // True only for status 200 with the whole body written to stream (null discards it).
    bool Get(const char* path, ISequentialStream* stream);
    // A form POST ("application/x-www-form-urlencoded"); true as for Get.
    bool Post(const char* path, const void* body, DWORD length, ISequentialStream* stream);
    // Copies the open request's body into stream; false when a read or a write fails.
    bool ReadBody(ISequentialStream* stream);
    // A date header of the last answer (HTTP_QUERY_DATE, ...) as a SYSTEMTIME.
    bool QueryDateHeader(DWORD headerId, SYSTEMTIME* time);
    void Close();

    // Status code of the last request; 0 before any answer.
    DWORD GetStatusCode() const { return m_status; }
    INTERNET_PORT GetPort() const { return m_port; }

private:
    // The status of the sent request, then its body when the status is 200.
    bool ReadAnswer(ISequentialStream* stream);

    HINTERNET m_internet = nullptr;
    HINTERNET m_connection = nullptr;
    HINTERNET m_request = nullptr;
    DWORD m_flags;
    INTERNET_PORT m_port = 0;
    DWORD m_secure;
    DWORD m_status = 0;
};
