#pragma once
// The parts of a reachability URL that the request needs.
#include "CStringT.h"

struct ProbeUrl {
    CString host;
    unsigned short port = 80;
    // From the first "/" after the host on; empty when the URL has none.
    CString path;
    bool secure = false;
};

// "https://" anywhere in the URL asks for a secure request on port 443. A port written after
// the host ("host:8080", "[::1]:8080") replaces the scheme's. Returns false, with parts
// unspecified, for an empty URL, an empty host or a port that is not a number 1..65535.
bool ParseProbeUrl(const char* url, ProbeUrl& parts);
