#pragma once
// A fire-and-forget GET (statistics pings) on a thread of its own, which joins the host's
// thread list so the host waits for it at exit.
#include <windows.h>

// Nothing for a null or empty URL. Waits for the request without limit when wait is true.
// The URL's query part is not sent.
void HttpGetAsync(const char* url, bool wait);
// The thread: takes ownership of a heap copy of the URL (new[]), frees it, returns 0.
unsigned __stdcall HttpGetThreadProc(void* urlCopy);

// Add or remove a thread id in the list published by the named mapping; nothing when the
// mapping does not exist or holds no list.
void NotifyThreadStarted(const char* mappingName, DWORD threadId);
void NotifyThreadEnded(const char* mappingName, DWORD threadId);
