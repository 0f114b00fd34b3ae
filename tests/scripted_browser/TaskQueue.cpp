#include "TaskQueue.h"

#include "WindowClasses.h"

namespace scripted {

namespace {
constexpr UINT kRunTask = WM_APP + 0x4B;
}

TaskQueue::TaskQueue()
{
    if (EnsureWindowClass(kTaskQueueClass, WindowProc))
        m_window = ::CreateWindowExA(0, kTaskQueueClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance(),
                                     nullptr);
    if (m_window)
        ::SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TaskQueue::~TaskQueue()
{
    if (m_window) {
        ::SetWindowLongPtrA(m_window, GWLP_USERDATA, 0);
        ::DestroyWindow(m_window);
    }
}

void TaskQueue::Post(std::function<void()> task)
{
    m_tasks.push_back(std::move(task));
    if (m_window)
        ::PostMessageA(m_window, kRunTask, 0, 0);
}

void TaskQueue::Clear()
{
    m_tasks.clear();
}

void TaskQueue::RunOne()
{
    if (m_tasks.empty())
        return;
    // The task may end the browser and with it this queue: nothing of ours is touched after.
    std::function<void()> task = std::move(m_tasks.front());
    m_tasks.pop_front();
    task();
}

LRESULT CALLBACK TaskQueue::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRunTask) {
        try {
            if (auto* queue = reinterpret_cast<TaskQueue*>(::GetWindowLongPtrA(window, GWLP_USERDATA)))
                queue->RunOne();
        } catch (...) {
            // A task that fails is simply over.
        }
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace scripted
