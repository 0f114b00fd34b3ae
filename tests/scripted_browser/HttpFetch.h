#pragma once
// One request to a loopback server with WinINet, straight (no proxy, no cache, no cookies,
// no redirects followed: a redirect could lead off the machine).
#include <string>

#include "Urls.h"

namespace scripted {

struct HttpAnswer {
    bool reached = false;   // false: no answer at all (refused, reset, timed out)
    unsigned long status = 0;
    std::string body;       // bytes as they came
};

// GET, or POST with postBody and headers ("Name: value\r\n" lines) when postBody is given.
HttpAnswer HttpFetch(const LoopbackUrl& url, const std::string* postBody, const std::string& headers);

}  // namespace scripted
