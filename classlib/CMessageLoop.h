#pragma once
// The thread's message loop: idle processing while the queue is empty, message filters
// before dispatch.
#include <windows.h>

#include "CSimpleArray.h"

class CMessageFilter {
public:
    virtual BOOL PreTranslateMessage(MSG* message) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
public:
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};

class CMessageLoop {
public:
    CMessageLoop() = default;
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;
    virtual ~CMessageLoop() = default;

    // Filters are asked last-added first; the first that consumes the message ends the search.
    virtual BOOL PreTranslateMessage(MSG* message)
    {
        for (int i = m_aMsgFilter.GetSize() - 1; i >= 0; --i)
            if (m_aMsgFilter[i] && m_aMsgFilter[i]->PreTranslateMessage(message))
                return TRUE;
        return FALSE;
    }
    // TRUE asks for another idle call.
    virtual BOOL OnIdle(int idleCount)
    {
        for (int i = 0; i < m_aIdleHandler.GetSize(); ++i)
            if (m_aIdleHandler[i])
                m_aIdleHandler[i]->OnIdle();
        return FALSE;
    }
    // Messages that arrive all the time do not restart idle processing.
    virtual BOOL IsIdleMessage(MSG* message)
    {
        switch (message->message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
        case WM_PAINT:
        case 0x0118:  // the system timer that blinks the caret
            return FALSE;
        default:
            return TRUE;
        }
    }

    BOOL AddMessageFilter(CMessageFilter* filter) { return m_aMsgFilter.Add(filter); }
    BOOL RemoveMessageFilter(CMessageFilter* filter) { return m_aMsgFilter.Remove(filter); }
    BOOL AddIdleHandler(CIdleHandler* handler) { return m_aIdleHandler.Add(handler); }
    BOOL RemoveIdleHandler(CIdleHandler* handler) { return m_aIdleHandler.Remove(handler); }

    int Run()
    {
        BOOL doIdle = TRUE;
        int idleCount = 0;
        for (;;) {
            while (doIdle && !::PeekMessageA(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
                if (!OnIdle(idleCount++))
                    doIdle = FALSE;
            }
            const BOOL got = ::GetMessageA(&m_msg, nullptr, 0, 0);
            if (got == -1)
                continue;
            if (!got)
                break;
            if (!PreTranslateMessage(&m_msg)) {
                ::TranslateMessage(&m_msg);
                ::DispatchMessageA(&m_msg);
            }
            if (IsIdleMessage(&m_msg)) {
                doIdle = TRUE;
                idleCount = 0;
            }
        }
        return int(m_msg.wParam);
    }

    CSimpleArray<CMessageFilter*> m_aMsgFilter;
    CSimpleArray<CIdleHandler*> m_aIdleHandler;
    MSG m_msg = {};
};
