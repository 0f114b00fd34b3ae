#pragma once
// A message-only window standing in for a page that workers report their end to with
// WM_KAVO_REQUESTDONE.
#include <windows.h>

#include <vector>

#include "KavoMessages.h"

class NotifyWindow {
public:
    NotifyWindow() : m_window(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~NotifyWindow() { DestroyWindow(m_window); }
    NotifyWindow(const NotifyWindow&) = delete;
    NotifyWindow& operator=(const NotifyWindow&) = delete;
    HWND Get() const { return m_window; }

    // The end messages queued for the window once the first has come, or none after ms.
    std::vector<MSG> Wait(DWORD ms)
    {
        std::vector<MSG> done;
        const DWORD start = GetTickCount();
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, m_window, WM_KAVO_REQUESTDONE, WM_KAVO_REQUESTDONE, PM_REMOVE))
                done.push_back(msg);
            if (!done.empty() || GetTickCount() - start >= ms)
                return done;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        }
    }

private:
    HWND m_window;
};
