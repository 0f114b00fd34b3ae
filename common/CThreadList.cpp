#include "CThreadList.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "CAtlException.h"

const char* ThreadListMappingName()
{
    static char name[64];
    if (!name[0])
        std::snprintf(name, sizeof name, "URLFNF_CTL_%08X", unsigned(GetCurrentProcessId()));
    return name;
}

CThreadList::CThreadList()
{
    if (!InitializeCriticalSectionEx(&lock, 0, 0))
        AtlThrowLastWin32();
}

CThreadList::~CThreadList()
{
    DeleteCriticalSection(&lock);
    HeapFree(GetProcessHeap(), 0, ids);
}

void CThreadList::AddThread(DWORD threadId)
{
    EnterCriticalSection(&lock);
    bool listed = false;
    for (int i = 0; i < count && !listed; ++i)
        listed = ids[i] == threadId;
    if (!listed) {
        if (count == capacity) {
            const int grown = capacity ? capacity * 2 : 1;
            void* memory = nullptr;
            if (grown > capacity && size_t(grown) < size_t(-1) / sizeof(DWORD))
                memory = ids ? HeapReAlloc(GetProcessHeap(), 0, ids, grown * sizeof(DWORD))
                             : HeapAlloc(GetProcessHeap(), 0, grown * sizeof(DWORD));
            if (memory) {
                ids = static_cast<DWORD*>(memory);
                capacity = grown;
            }
        }
        if (count < capacity)
            ids[count++] = threadId;
    }
    LeaveCriticalSection(&lock);
}

void CThreadList::RemoveThread(DWORD threadId)
{
    EnterCriticalSection(&lock);
    for (int i = 0; i < count; ++i) {
        if (ids[i] == threadId) {
            for (int k = i; k + 1 < count; ++k)
                ids[k] = ids[k + 1];
            --count;
            break;
        }
    }
    LeaveCriticalSection(&lock);
}

int CThreadList::GetCount()
{
    EnterCriticalSection(&lock);
    const int listed = count;
    LeaveCriticalSection(&lock);
    return listed;
}

void CThreadList::WaitAll()
{
    std::vector<HANDLE> handles;
    EnterCriticalSection(&lock);
    try {
        for (int i = count - 1; i >= 0; --i) {
            HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, ids[i]);
            if (thread)
                handles.push_back(thread);
        }
    } catch (const std::bad_alloc&) {
        // Wait for what was collected; the rest cannot be waited for without memory.
    }
    LeaveCriticalSection(&lock);

    // One wait takes at most MAXIMUM_WAIT_OBJECTS handles; waiting batch after batch for
    // all of them still waits for every thread.
    for (size_t first = 0; first < handles.size(); first += MAXIMUM_WAIT_OBJECTS) {
        const size_t batch = std::min<size_t>(MAXIMUM_WAIT_OBJECTS, handles.size() - first);
        WaitForMultipleObjectsEx(DWORD(batch), handles.data() + first, TRUE, INFINITE, FALSE);
    }
    for (HANDLE thread : handles)
        CloseHandle(thread);
}

namespace {

IThreadList** MapSlot(HANDLE mapping)
{
    return static_cast<IThreadList**>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(IThreadList*)));
}

}  // namespace

HANDLE CreateThreadListMapping(const char* name)
{
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(IThreadList*), name);
    if (!mapping)
        return nullptr;
    if (IThreadList** slot = MapSlot(mapping)) {
        try {
            *slot = new CThreadList;
        } catch (...) {
            // No list: workers find none and run unlisted, as when the view failed.
            *slot = nullptr;
        }
        UnmapViewOfFile(slot);
    }
    return mapping;
}

void WaitThreadListMapping(HANDLE mapping)
{
    if (!mapping)
        return;
    IThreadList** slot = MapSlot(mapping);
    if (!slot)
        return;
    if (*slot)
        (*slot)->WaitAll();
    UnmapViewOfFile(slot);
}

void DestroyThreadListMapping(HANDLE mapping)
{
    if (!mapping)
        return;
    if (IThreadList** slot = MapSlot(mapping)) {
        // A worker that opens the mapping from now on finds no list instead of a freed one.
        IThreadList* list = *slot;
        *slot = nullptr;
        delete list;
        UnmapViewOfFile(slot);
    }
    CloseHandle(mapping);
}
