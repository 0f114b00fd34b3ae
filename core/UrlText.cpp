#include "UrlText.h"

#include <windows.h>
#include <wininet.h>

#include "CSimpleHttpStrStream.h"
#include "CWinInetRequest.h"
#include "UrlParts.h"

namespace {

const char* OrNull(const CString& text)
{
    return text.IsEmpty() ? nullptr : text.GetString();
}

bool HttpGetText(const char* url, CString& body)
{
    CUrlParts parts;
    if (!SplitUrl(url, parts))
        return false;
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    // ConnectUrl, not Connect: an https address must go over TLS.
    if (!request.ConnectUrl(parts.host, parts.port, OrNull(parts.user), OrNull(parts.password), url))
        return false;
    CSimpleHttpStrStream stream;
    if (!request.Get(parts.path, &stream))
        return false;
    body = stream.GetText();
    return true;
}

UrlTextFetcher& CurrentFetcher()
{
    static UrlTextFetcher fetcher = &HttpGetText;
    return fetcher;
}

}  // namespace

bool FetchUrlText(const char* url, CString& body)
{
    body.Empty();
    return CurrentFetcher()(url, body);
}

UrlTextFetcher SetUrlTextFetcher(UrlTextFetcher fetcher)
{
    UrlTextFetcher previous = CurrentFetcher();
    CurrentFetcher() = fetcher ? fetcher : &HttpGetText;
    return previous;
}
