#pragma once
// The few URL operations the double needs: which addresses it may fetch (http and https
// on loopback only) and resolving a form action or link against the document's address.
#include <string>

namespace scripted {

struct LoopbackUrl {
    std::string host;
    bool secure = false;       // https
    unsigned short port = 80;  // 443 for https when the address names none
    std::string pathAndQuery;  // "/" at least, without any fragment
};

bool IsAboutBlank(const std::string& url);
// True for http[s]://127.x.y.z[:port]/... and http[s]://localhost[:port]/...
bool ParseLoopbackUrl(const std::string& url, LoopbackUrl* parts);
// ref as an absolute address, taken relative to base when it names no scheme.
std::string ResolveUrl(const std::string& base, const std::string& ref);

}  // namespace scripted
