#include "ThreadStart.h"

#include <process.h>

namespace {

HANDLE BeginThread(ThreadProc proc, void* argument, unsigned flags, unsigned* threadId)
{
    unsigned id = 0;
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, proc, argument, flags, &id));
    if (thread && threadId)
        *threadId = id;
    return thread;
}

ThreadStarter& CurrentStarter()
{
    static ThreadStarter starter = &BeginThread;
    return starter;
}

}  // namespace

HANDLE StartThread(ThreadProc proc, void* argument, unsigned flags, unsigned* threadId)
{
    return CurrentStarter()(proc, argument, flags, threadId);
}

ThreadStarter SetThreadStarter(ThreadStarter starter)
{
    const ThreadStarter previous = CurrentStarter();
    CurrentStarter() = starter ? starter : &BeginThread;
    return previous;
}
