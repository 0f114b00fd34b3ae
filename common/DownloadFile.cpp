#include "DownloadFile.h"

#include <winhttp.h>

#include "CHandle.h"
#include "UrlParts.h"

namespace {

class CWinHttpHandle {
public:
    explicit CWinHttpHandle(HINTERNET handle = nullptr) : m_handle(handle) {}
    ~CWinHttpHandle()
    {
        if (m_handle)
            WinHttpCloseHandle(m_handle);
    }
    CWinHttpHandle(const CWinHttpHandle&) = delete;
    CWinHttpHandle& operator=(const CWinHttpHandle&) = delete;
    operator HINTERNET() const { return m_handle; }

private:
    HINTERNET m_handle;
};

// One buffer for the whole body. A read asks for what WinHTTP has, but for no less than
// kMinRead: a blocking read waits until it has that much (or the body ends), so reads stay
// large while progress and cancel still come every kMinRead bytes.
const DWORD kBufferSize = 1024 * 1024;
const DWORD kMinRead = 64 * 1024;

class CHeapBuffer {
public:
    explicit CHeapBuffer(DWORD size) : m_data(static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size))) {}
    ~CHeapBuffer() { HeapFree(GetProcessHeap(), 0, m_data); }
    CHeapBuffer(const CHeapBuffer&) = delete;
    CHeapBuffer& operator=(const CHeapBuffer&) = delete;
    char* Get() const { return m_data; }

private:
    char* m_data;
};

CStringW Wide(const CString& text)
{
    CStringW wide;
    const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text, text.GetLength(), nullptr, 0);
    if (length > 0) {
        MultiByteToWideChar(CP_THREAD_ACP, 0, text, text.GetLength(), wide.GetBufferSetLength(length), length);
        wide.ReleaseBuffer(length);
    }
    return wide;
}

bool WriteAll(HANDLE file, const char* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

}  // namespace

HRESULT DownloadFile(const char* url, const char* path, IBindStatusCallback* progress)
{
    const HRESULT failed = INET_E_DOWNLOAD_FAILURE;
    CUrlParts parts;
    if (!path || !SplitUrl(url, parts))
        return failed;

    CWinHttpHandle session(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return failed;
    CWinHttpHandle connection(WinHttpConnect(session, Wide(parts.host), parts.port, 0));
    if (!connection)
        return failed;
    // An https URL goes over TLS with the certificate checked: the file is a program that runs.
    const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY | WINHTTP_FLAG_BYPASS_PROXY_CACHE |
                        (parts.secure ? WINHTTP_FLAG_SECURE : 0);
    CWinHttpHandle request(WinHttpOpenRequest(connection, L"GET", Wide(parts.path + parts.extra), nullptr, WINHTTP_NO_REFERER,
                                              WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request)
        return failed;
    WinHttpSetTimeouts(request, 0, 60000, 30000, 180000);

    if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request, nullptr))
        return failed;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                             &status, &size, WINHTTP_NO_HEADER_INDEX) ||
        status != 200)
        return failed;
    DWORD announced = 0;
    size = sizeof announced;
    const bool hasLength = WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                                               WINHTTP_HEADER_NAME_BY_INDEX, &announced, &size, WINHTTP_NO_HEADER_INDEX) != FALSE;

    CHeapBuffer buffer(kBufferSize);
    if (!buffer.Get())
        return failed;
    CHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return failed;

    DWORD total = 0;
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available))
            return failed;
        if (available == 0)
            break;
        const DWORD wanted = available < kMinRead ? kMinRead : available > kBufferSize ? kBufferSize : available;
        DWORD read = 0;
        if (!WinHttpReadData(request, buffer.Get(), wanted, &read))
            return failed;
        if (read == 0)
            break;
        if (!WriteAll(file, buffer.Get(), read))
            return failed;
        total += read;
        if (progress) {
            // 0 is "length unknown" to a progress callback: no share of it can be shown.
            const ULONG goal = hasLength ? announced : 0;
            if (progress->OnProgress(total, goal, BINDSTATUS_DOWNLOADINGDATA, nullptr) == E_ABORT)
                return E_ABORT;
        }
    }
    // A connection that closed early is a truncated file, never a finished download.
    if (hasLength && total != announced)
        return failed;
    return S_OK;
}
