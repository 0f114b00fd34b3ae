#pragma once
// Writes a URL's body into a file through WinHTTP, with progress and cancel.
#include <windows.h>
#include <urlmon.h>

// S_OK when the whole body (status 200, as long as any Content-Length says) is in the file;
// E_ABORT when progress->OnProgress returned E_ABORT (the partial file stays);
// INET_E_DOWNLOAD_FAILURE for every other failure. progress may be null. Progress is reported
// against the Content-Length, or against 0 (unknown) when the server sent none.
HRESULT DownloadFile(const char* url, const char* path, IBindStatusCallback* progress);
