#pragma once
// The work a browser finishes later, as a real one does: each task runs from a message
// posted to the queue's own message-only window, so the thread's message pump drives it.
// Tasks still queued when the queue goes are dropped.
#include <windows.h>

#include <deque>
#include <functional>

namespace scripted {

class TaskQueue {
public:
    TaskQueue();
    ~TaskQueue();
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    void Post(std::function<void()> task);
    void Clear();
    bool Empty() const { return m_tasks.empty(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunOne();

    HWND m_window = nullptr;
    std::deque<std::function<void()>> m_tasks;
};

}  // namespace scripted
