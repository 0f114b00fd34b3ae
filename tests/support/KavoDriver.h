#pragma once
// Drives the wizard's windows from another thread the way a user would: finds message
// boxes and answers them. Used by the tests that run real frames and pages.
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

// A top-level window of a class (and caption, when given) that belongs to the process.
// Test programs run side by side on one desktop: a window of the same class in another
// process (a box with the same caption, another wizard's frame) must never be taken.
inline HWND FindTopLevelWindowOf(DWORD processId, const char* className, const char* caption = nullptr)
{
    for (HWND window = ::FindWindowExA(nullptr, nullptr, className, caption); window;
         window = ::FindWindowExA(nullptr, window, className, caption)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

class MessageBoxAnswerer {
public:
    // Answers the first message box with this caption that the process shows (this test
    // program unless told otherwise) by pressing button.
    MessageBoxAnswerer(std::string caption, int button, DWORD processId = ::GetCurrentProcessId())
        : m_caption(std::move(caption)), m_button(button), m_processId(processId)
    {
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    ~MessageBoxAnswerer() { Wait(); }

    void Start() { m_thread = ::CreateThread(nullptr, 0, Run, this, 0, nullptr); }
    void Wait()
    {
        if (m_thread) {
            ::WaitForSingleObject(m_thread, INFINITE);
            ::CloseHandle(m_thread);
            m_thread = nullptr;
        }
    }

    // Posted to this window while the box is open, before the answer.
    HWND postWhileOpen = nullptr;
    UINT postMessage = 0;
    // Ends that thread's message loop after answering.
    DWORD quitThread = 0;
    // How many boxes with this caption to answer, one after the other.
    int boxes = 1;

    std::atomic<bool> seen{false};
    std::string text;
    std::vector<std::string> texts;

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* answerer = static_cast<MessageBoxAnswerer*>(self);
        for (int i = 0; i < 500; ++i) {
            HWND box = FindTopLevelWindowOf(answerer->m_processId, "#32770", answerer->m_caption.c_str());
            if (box) {
                char text[1024] = {};
                ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                answerer->text = text;
                answerer->texts.push_back(text);
                answerer->seen = true;
                if (int(answerer->texts.size()) < answerer->boxes) {
                    ::PostMessageA(box, WM_COMMAND, WPARAM(answerer->m_button), 0);
                    for (int k = 0; k < 250 && ::IsWindow(box); ++k)
                        ::Sleep(20);
                    i = 0;
                    continue;
                }
                if (answerer->postWhileOpen) {
                    ::PostMessageA(answerer->postWhileOpen, answerer->postMessage, 0, 0);
                    ::Sleep(500);
                }
                if (::IsWindow(box))
                    ::PostMessageA(box, WM_COMMAND, WPARAM(answerer->m_button), 0);
                if (answerer->quitThread) {
                    ::Sleep(300);
                    ::PostThreadMessageA(answerer->quitThread, WM_QUIT, 0, 0);
                }
                return 0;
            }
            ::Sleep(20);
        }
        return 1;
    }

    std::string m_caption;
    int m_button;
    DWORD m_processId;
    HANDLE m_thread = nullptr;
};

// The top-level window of a window class that the process shows (this test program unless
// told otherwise), waiting up to timeout.
inline HWND WaitForWindowOfClass(const char* className, DWORD timeout = 10000,
                                 DWORD processId = ::GetCurrentProcessId())
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND window = FindTopLevelWindowOf(processId, className))
            return window;
        if (::GetTickCount() - start > timeout)
            return nullptr;
        ::Sleep(20);
    }
}
