#include "FormQuery.h"

#include <cstring>

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

CString ReplaceNbsp(const CString& text)
{
    static const char kNbsp[] = "&nbsp;";
    const int nbspLength = int(sizeof kNbsp - 1);
    CString out;
    const char* p = text.GetString();
    while (const char* found = std::strstr(p, kNbsp)) {
        out.Append(p, int(found - p));
        out += ' ';
        p = found + nbspLength;
    }
    out += p;
    return out;
}

}  // namespace

CString DecodeFormValue(const char* value, int length)
{
    CString decoded;
    for (int i = 0; i < length; ++i) {
        const char c = value[i];
        if (c == '+') {
            decoded += ' ';
            continue;
        }
        if (c != '%') {
            decoded += c;
            continue;
        }
        const int high = i + 1 < length ? HexDigit(value[i + 1]) : -1;
        const int low = i + 2 < length ? HexDigit(value[i + 2]) : -1;
        const int byte = high < 0 || low < 0 ? 0 : high * 16 + low;
        // A broken escape and an escaped NUL both end the text, as a C string would.
        if (byte == 0)
            break;
        decoded += char(byte);
        i += 2;
    }
    return ReplaceNbsp(decoded);
}

void ParseFormQuery(const char* url, FormCommandParams& params)
{
    params.RemoveAll();
    if (!url)
        return;
    const char* query = std::strchr(url, '?');
    query = query ? query + 1 : url;
    while (*query) {
        const char* end = std::strchr(query, '&');
        if (!end)
            end = query + std::strlen(query);
        const char* equals = static_cast<const char*>(std::memchr(query, '=', size_t(end - query)));
        if (equals) {
            const CString name(query, int(equals - query));
            params.SetAt(name, DecodeFormValue(equals + 1, int(end - equals - 1)));
        }
        query = *end ? end + 1 : end;
    }
}
