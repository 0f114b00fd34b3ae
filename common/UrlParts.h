#pragma once
// Splits an http or https URL into the parts a request needs. No scheme means http; no port
// means the scheme's own.
#include <windows.h>

#include "CStringT.h"

struct CUrlParts {
    CString scheme;
    CString host;
    WORD port = 0;
    CString user;
    CString password;
    CString path;   // "/" when the URL has none
    CString extra;  // "?query" and "#fragment", as written
    bool secure = false;
};

// False for a null or malformed URL, another scheme, a bad port or a part beyond its limit
// (scheme 32, host 256, user and password 128, path and extra 2048 bytes).
bool SplitUrl(const char* url, CUrlParts& parts);
