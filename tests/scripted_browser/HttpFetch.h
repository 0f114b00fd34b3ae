#pragma once
// One request to a loopback server with WinINet, straight (no proxy, no cache, no cookies,
// no redirects followed here: the browser follows them itself, so it can refuse any that
// leads off the machine). Over https only the test server's own certificate is trusted,
// and only at 127.0.0.1.
#include <string>

#include "Urls.h"

namespace scripted {

struct HttpAnswer {
    bool reached = false;   // false: no answer at all (refused, reset, timed out, untrusted)
    long failure = 0;       // when not reached: the INET_E_ status a browser reports for it
    unsigned long status = 0;
    std::string location;   // the Location header, when the answer has one
    std::string body;       // bytes as they came
};

// method "GET" or "POST"; body and headers ("Name: value\r\n" lines) go with the request.
HttpAnswer HttpFetch(const LoopbackUrl& url, const std::string& method, const std::string& body,
                     const std::string& headers);

}  // namespace scripted
