#pragma once
// The host's list of running background workers, published through a named mapping so the
// core library's workers can join it. The slot order is shared with the core library.
#include <windows.h>

class IThreadList {
public:
    virtual void AddThread(DWORD threadId) = 0;
    virtual void RemoveThread(DWORD threadId) = 0;
    virtual void WaitAll() = 0;
    virtual ~IThreadList() = default;
};

// "URLFNF_CTL_" and the process id in eight upper-case hex digits.
const char* ThreadListMappingName();
