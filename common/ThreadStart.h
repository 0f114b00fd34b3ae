#pragma once
// Starting a worker thread, behind one replaceable function: tests put a failing starter in
// place to reach what a caller does when no thread can be started.
#include <windows.h>

using ThreadProc = unsigned(__stdcall*)(void*);
using ThreadStarter = HANDLE (*)(ThreadProc proc, void* argument, unsigned flags, unsigned* threadId);

// _beginthreadex with the default stack: the thread's handle, or null when it did not start.
HANDLE StartThread(ThreadProc proc, void* argument, unsigned flags = 0, unsigned* threadId = nullptr);

// Puts starter in place (null restores _beginthreadex) and returns the one it replaced.
ThreadStarter SetThreadStarter(ThreadStarter starter);
