#include "HttpGetAsync.h"

#include <process.h>

#include <cstring>
#include <new>

#include "CHandle.h"
#include "CSimpleHttpStrStream.h"
#include "CWinInetRequest.h"
#include "IThreadList.h"
#include "UrlParts.h"

namespace {

enum class ListChange { Add, Remove };

void ChangeThreadList(const char* mappingName, DWORD threadId, ListChange change)
{
    CHandle mapping(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, mappingName));
    if (!mapping)
        return;
    auto* slot = static_cast<IThreadList**>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(IThreadList*)));
    if (!slot)
        return;
    if (IThreadList* list = *slot) {
        if (change == ListChange::Add)
            list->AddThread(threadId);
        else
            list->RemoveThread(threadId);
    }
    UnmapViewOfFile(slot);
}

void Fetch(const char* url)
{
    CUrlParts parts;
    if (!SplitUrl(url, parts))
        return;
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    if (!request.ConnectUrl(parts.host, parts.port, parts.user, parts.password, url))
        return;
    CSimpleHttpStrStream body;
    request.Get(parts.path, &body);
}

}  // namespace

void NotifyThreadStarted(const char* mappingName, DWORD threadId)
{
    ChangeThreadList(mappingName, threadId, ListChange::Add);
}

void NotifyThreadEnded(const char* mappingName, DWORD threadId)
{
    ChangeThreadList(mappingName, threadId, ListChange::Remove);
}

unsigned __stdcall HttpGetThreadProc(void* urlCopy)
{
    char* url = static_cast<char*>(urlCopy);
    NotifyThreadStarted(ThreadListMappingName(), GetCurrentThreadId());
    try {
        Fetch(url);
    } catch (...) {
        // A ping that fails for any reason is simply not counted.
    }
    delete[] url;
    NotifyThreadEnded(ThreadListMappingName(), GetCurrentThreadId());
    return 0;
}

void HttpGetAsync(const char* url, bool wait)
{
    if (!url || !*url)
        return;
    const size_t length = std::strlen(url);
    char* copy = new (std::nothrow) char[length + 1];
    if (!copy)
        return;
    std::memcpy(copy, url, length + 1);

    unsigned threadId = 0;
    CHandle thread(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, HttpGetThreadProc, copy, CREATE_SUSPENDED, &threadId)));
    if (!thread) {
        delete[] copy;
        return;
    }
    // Listed before it runs: a host that waits right after this call cannot miss it.
    NotifyThreadStarted(ThreadListMappingName(), threadId);
    ResumeThread(thread);
    if (wait)
        WaitForSingleObject(thread, INFINITE);
}
