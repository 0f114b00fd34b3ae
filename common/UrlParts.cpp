#include "UrlParts.h"

namespace {

bool Fits(const CString& part, int limit)
{
    return part.GetLength() <= limit;
}

}  // namespace

bool SplitUrl(const char* url, CUrlParts& parts)
{
    parts = CUrlParts();
    if (!url || !*url)
        return false;
    CString rest(url);

    const int schemeEnd = rest.Find("://");
    parts.scheme = "http";
    if (schemeEnd >= 0) {
        parts.scheme = rest.Left(schemeEnd);
        parts.scheme.MakeLower();
        rest = rest.Mid(schemeEnd + 3);
    }
    if (parts.scheme == "http") {
        parts.port = 80;
    } else if (parts.scheme == "https") {
        parts.port = 443;
        parts.secure = true;
    } else {
        return false;
    }

    const int authorityEnd = rest.FindOneOf("/?#");
    CString authority = authorityEnd >= 0 ? rest.Left(authorityEnd) : rest;
    CString tail = authorityEnd >= 0 ? rest.Mid(authorityEnd) : CString();

    const int at = authority.ReverseFind('@');
    if (at >= 0) {
        CString credentials = authority.Left(at);
        authority = authority.Mid(at + 1);
        const int colon = credentials.Find(':');
        parts.user = colon >= 0 ? credentials.Left(colon) : credentials;
        if (colon >= 0)
            parts.password = credentials.Mid(colon + 1);
    }
    const int colon = authority.ReverseFind(':');
    if (colon >= 0) {
        const CString digits = authority.Mid(colon + 1);
        authority = authority.Left(colon);
        if (!digits.IsEmpty()) {
            unsigned long port = 0;
            for (int i = 0; i < digits.GetLength(); ++i) {
                if (digits[i] < '0' || digits[i] > '9')
                    return false;
                port = port * 10 + unsigned(digits[i] - '0');
                if (port > 65535)
                    return false;
            }
            if (port == 0)
                return false;
            parts.port = WORD(port);
        }
    }
    parts.host = authority;
    if (parts.host.IsEmpty())
        return false;

    const int extraStart = tail.FindOneOf("?#");
    parts.path = extraStart >= 0 ? tail.Left(extraStart) : tail;
    if (extraStart >= 0)
        parts.extra = tail.Mid(extraStart);
    if (parts.path.IsEmpty())
        parts.path = "/";

    return Fits(parts.scheme, 32) && Fits(parts.host, 256) && Fits(parts.user, 128) && Fits(parts.password, 128) &&
           Fits(parts.path, 2048) && Fits(parts.extra, 2048);
}
