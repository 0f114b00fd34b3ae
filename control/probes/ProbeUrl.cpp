#include "ProbeUrl.h"

#include <cstring>

namespace {

bool ParsePort(const char* text, unsigned short& port)
{
    if (!*text)
        return false;
    unsigned long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + unsigned(*p - '0');
        if (value > 65535)
            return false;
    }
    if (value == 0)
        return false;
    port = (unsigned short)value;
    return true;
}

}  // namespace

bool ParseProbeUrl(const char* url, ProbeUrl& parts)
{
    parts = ProbeUrl();
    if (!url || !*url)
        return false;
    if (std::strstr(url, "https://")) {
        parts.port = 443;
        parts.secure = true;
    }
    const char* scheme = std::strstr(url, "://");
    CString rest(scheme ? scheme + 3 : url);
    rest = rest.Left(255);

    const int slash = rest.Find('/');
    CString authority = slash < 0 ? rest : rest.Left(slash);
    parts.path = slash < 0 ? CString() : rest.Mid(slash);

    // A bracketed IPv6 literal holds colons of its own; the port follows the "]".
    int colon = -1;
    if (authority.GetLength() && authority[0] == '[') {
        const int close = authority.Find(']');
        if (close < 0)
            return false;
        if (close + 1 < authority.GetLength()) {
            if (authority[close + 1] != ':')
                return false;
            colon = close + 1;
        }
        parts.host = authority.Mid(1, close - 1);
    } else {
        colon = authority.Find(':');
        parts.host = colon < 0 ? authority : authority.Left(colon);
    }
    if (colon >= 0 && !ParsePort(authority.Mid(colon + 1), parts.port))
        return false;
    return !parts.host.IsEmpty();
}
