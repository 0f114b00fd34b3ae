#pragma once
// Is the page at the URL reachable over HTTP(S)?

// True when a GET of url (after its host name resolved) answers with a 2xx status. Any other
// status, a failed resolution or connection, or an empty URL give false.
bool CheckHttpReachable(const char* url);
