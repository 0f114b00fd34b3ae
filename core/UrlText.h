#pragma once
// The GET that every downloaded definition text goes through: system proxy settings, no TLS
// flag, the URL's path without its query, and only a status of 200 counts.
#include "CStringT.h"

using UrlTextFetcher = bool (*)(const char* url, CString& body);

// The body up to its first NUL byte; false for a URL that cannot be split, a connection or
// transport failure, or a status other than 200.
bool FetchUrlText(const char* url, CString& body);

// Puts another fetcher in place of HTTP (null restores HTTP) and returns the one it replaced.
// Tests serve chosen answers through it.
UrlTextFetcher SetUrlTextFetcher(UrlTextFetcher fetcher);
