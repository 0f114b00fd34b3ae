#include <gtest/gtest.h>

#include <vector>

#include "CHandle.h"
#include "CThreadList.h"

namespace {

DWORD WINAPI WaitForEvent(void* event)
{
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 0;
}

struct Worker {
    HANDLE thread;
    DWORD id;
};

Worker StartWorker(HANDLE release)
{
    Worker worker{};
    worker.thread = CreateThread(nullptr, 0, WaitForEvent, release, 0, &worker.id);
    return worker;
}

bool StillRunning(HANDLE thread)
{
    return WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
}

struct WaitCall {
    CThreadList* list;
    static DWORD WINAPI Run(void* self)
    {
        static_cast<WaitCall*>(self)->list->WaitAll();
        return 0;
    }
};

TEST(ThreadList, IdsAreListedOnceAndRemovedInOrder)
{
    CThreadList list;
    list.WaitAll();
    list.AddThread(10);
    list.AddThread(20);
    list.AddThread(10);
    list.AddThread(30);
    EXPECT_EQ(list.GetCount(), 3);
    list.RemoveThread(20);
    list.RemoveThread(99);
    EXPECT_EQ(list.GetCount(), 2);
    // Ids of threads that do not exist are skipped by the wait.
    list.WaitAll();
}

TEST(ThreadList, WaitAllWaitsForMoreThanSixtyFourThreads)
{
    CHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    CThreadList list;
    std::vector<Worker> workers;
    for (int i = 0; i < 70; ++i) {
        workers.push_back(StartWorker(release));
        ASSERT_NE(workers.back().thread, nullptr);
        list.AddThread(workers.back().id);
    }
    WaitCall call{&list};
    CHandle waiter(CreateThread(nullptr, 0, WaitCall::Run, &call, 0, nullptr));
    EXPECT_EQ(WaitForSingleObject(waiter, 300), DWORD(WAIT_TIMEOUT)) << "WaitAll returned while workers ran";

    SetEvent(release);
    ASSERT_EQ(WaitForSingleObject(waiter, 30000), DWORD(WAIT_OBJECT_0));
    for (const Worker& worker : workers) {
        EXPECT_FALSE(StillRunning(worker.thread));
        CloseHandle(worker.thread);
    }
}

TEST(ThreadList, WorkerThatRemovedItselfIsNotWaitedFor)
{
    CHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    CThreadList list;
    Worker worker = StartWorker(release);
    list.AddThread(worker.id);
    list.RemoveThread(worker.id);
    list.WaitAll();
    EXPECT_TRUE(StillRunning(worker.thread));
    SetEvent(release);
    WaitForSingleObject(worker.thread, INFINITE);
    CloseHandle(worker.thread);
}

struct MappingWorker {
    const char* name;
    HANDLE release;
    static DWORD WINAPI Run(void* self)
    {
        auto* worker = static_cast<MappingWorker*>(self);
        HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, worker->name);
        if (!mapping)
            return 1;
        auto** slot = static_cast<IThreadList**>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(IThreadList*)));
        if (slot && *slot)
            (*slot)->AddThread(GetCurrentThreadId());
        WaitForSingleObject(worker->release, INFINITE);
        if (slot)
            UnmapViewOfFile(slot);
        CloseHandle(mapping);
        return 0;
    }
};

TEST(ThreadListMapping, WorkersJoinByNameAndTheHostWaitsForThem)
{
    HANDLE mapping = CreateThreadListMapping(ThreadListMappingName());
    ASSERT_NE(mapping, nullptr);
    CHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    MappingWorker job{ThreadListMappingName(), release};
    CHandle worker(CreateThread(nullptr, 0, MappingWorker::Run, &job, 0, nullptr));

    auto** slot = static_cast<IThreadList**>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(IThreadList*)));
    ASSERT_NE(slot, nullptr);
    auto* list = static_cast<CThreadList*>(*slot);
    for (int i = 0; i < 500 && list->GetCount() == 0; ++i)
        Sleep(10);
    ASSERT_EQ(list->GetCount(), 1);

    SetEvent(release);
    WaitThreadListMapping(mapping);
    EXPECT_FALSE(StillRunning(worker));

    DestroyThreadListMapping(mapping);
    // The view outlives the handle: the address was cleared before the list was freed.
    EXPECT_EQ(*slot, nullptr);
    UnmapViewOfFile(slot);

    WaitThreadListMapping(nullptr);
    DestroyThreadListMapping(nullptr);
}

}  // namespace
