#include "Urls.h"

#include <cstdlib>

#include "Text.h"

namespace scripted {

namespace {

bool HasScheme(const std::string& url)
{
    const size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    for (size_t i = 0; i < colon; ++i) {
        const char c = url[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
              c == '.'))
            return false;
    }
    return true;
}

bool IsLoopbackHost(const std::string& host)
{
    if (EqualsNoCase(host, "localhost"))
        return true;
    int octets = 0;
    size_t at = 0;
    int first = -1;
    while (at <= host.size()) {
        const size_t dot = host.find('.', at);
        const std::string part = host.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
        if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string::npos ||
            std::atoi(part.c_str()) > 255)
            return false;
        if (first < 0)
            first = std::atoi(part.c_str());
        ++octets;
        if (dot == std::string::npos)
            break;
        at = dot + 1;
    }
    return octets == 4 && first == 127;
}

}  // namespace

bool IsAboutBlank(const std::string& url)
{
    return EqualsNoCase(url, "about:blank");
}

bool ParseLoopbackUrl(const std::string& url, LoopbackUrl* parts)
{
    const bool secure = url.size() > 8 && EqualsNoCase(url.substr(0, 8), "https://");
    const std::string prefix = secure ? "https://" : "http://";
    if (url.size() <= prefix.size() || !EqualsNoCase(url.substr(0, prefix.size()), prefix))
        return false;
    const std::string rest = url.substr(prefix.size(), url.find('#') - prefix.size());
    const size_t hostEnd = rest.find_first_of("/?");
    std::string authority = rest.substr(0, hostEnd);
    if (authority.find('@') != std::string::npos)
        return false;
    LoopbackUrl result;
    result.secure = secure;
    result.port = secure ? 443 : 80;
    const size_t colon = authority.find(':');
    if (colon != std::string::npos) {
        const std::string port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const long number = std::atol(port.c_str());
        if (number <= 0 || number > 65535)
            return false;
        result.port = static_cast<unsigned short>(number);
        authority.resize(colon);
    }
    if (!IsLoopbackHost(authority))
        return false;
    result.host = authority;
    result.pathAndQuery = hostEnd == std::string::npos ? "/" : rest.substr(hostEnd);
    if (result.pathAndQuery[0] == '?')
        result.pathAndQuery.insert(0, "/");
    if (parts)
        *parts = result;
    return true;
}

std::string ResolveUrl(const std::string& base, const std::string& ref)
{
    if (ref.empty())
        return base;
    if (HasScheme(ref) || !HasScheme(base))
        return ref;
    const size_t schemeEnd = base.find(':');
    // A base without a hierarchy (about:blank) gives nothing to resolve against.
    if (base.compare(schemeEnd, 3, "://") != 0)
        return ref;
    const size_t authorityStart = schemeEnd + 3;
    const size_t pathStart = base.find_first_of("/?#", authorityStart);
    const std::string origin = base.substr(0, pathStart);
    if (ref.compare(0, 2, "//") == 0)
        return base.substr(0, schemeEnd + 1) + ref;
    if (ref[0] == '/')
        return origin + ref;
    std::string path = pathStart == std::string::npos ? "/" : base.substr(pathStart);
    path = path.substr(0, path.find_first_of("?#"));
    if (ref[0] == '?')
        return origin + (path.empty() ? "/" : path) + ref;
    if (ref[0] == '#')
        return base.substr(0, base.find('#')) + ref;
    const size_t slash = path.rfind('/');
    return origin + (slash == std::string::npos ? "/" : path.substr(0, slash + 1)) + ref;
}

}  // namespace scripted
