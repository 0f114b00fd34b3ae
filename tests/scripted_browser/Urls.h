#pragma once
// The few URL operations the double needs: which addresses it may fetch (plain HTTP on
// loopback only) and resolving a form action or link against the document's address.
#include <string>

namespace scripted {

struct LoopbackUrl {
    std::string host;
    unsigned short port = 80;
    std::string pathAndQuery;  // "/" at least, without any fragment
};

bool IsAboutBlank(const std::string& url);
// True for http://127.x.y.z[:port]/... and http://localhost[:port]/...
bool ParseLoopbackUrl(const std::string& url, LoopbackUrl* parts);
// ref as an absolute address, taken relative to base when it names no scheme.
std::string ResolveUrl(const std::string& base, const std::string& ref);

}  // namespace scripted
