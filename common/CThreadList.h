#pragma once
// The host side of the thread list: the list itself and its named 4-byte mapping that holds
// the list's address for the workers of this process.
#include "CHandleT.h"
#include "IThreadList.h"

class CThreadList : public IThreadList {
public:
    CThreadList();
    ~CThreadList() override;
    CThreadList(const CThreadList&) = delete;
    CThreadList& operator=(const CThreadList&) = delete;

    void AddThread(DWORD threadId) override;
    void RemoveThread(DWORD threadId) override;
    // Waits for every listed thread that can still be opened. Holds the lock only while
    // collecting handles, so a worker can remove itself meanwhile.
    void WaitAll() override;

    int GetCount();

private:
    CRITICAL_SECTION lock;
    DWORD* ids = nullptr;
    int count = 0;
    int capacity = 0;
};

// Creates the mapping and the list; returns the mapping handle (null on failure), also when
// the view could not be mapped and so no list exists.
HANDLE CreateThreadListMapping(const char* name);
void WaitThreadListMapping(HANDLE mapping);
// Clears the published address before the list goes, then closes the handle.
void DestroyThreadListMapping(HANDLE mapping);
// Owner of the mapping that CreateThreadListMapping returns: destroys list and mapping.
using CThreadListMapping = CHandleT<HANDLE, &DestroyThreadListMapping>;
