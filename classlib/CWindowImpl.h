#pragma once
// Windows whose messages go to a C++ object's message map. The object is found through a
// window property (GWL_USERDATA belongs to the program), bound on the window's first
// message. The object outlives every message of its window: when the window is destroyed
// inside a nested message, OnFinalMessage waits until the outermost message has returned.
// A call that reaches the object from outside its messages (an event of a control it hosts)
// holds it the same way, from HoldObject to the matching release.
#include <windows.h>

#include "CMessageMap.h"
#include "CWindow.h"

class CWindowImplRoot;

// The object whose window is being created on this thread; taken by the first message.
void AtlSetCreatingWindow(CWindowImplRoot* object);
CWindowImplRoot* AtlTakeCreatingWindow();
CWindowImplRoot* AtlWindowFromHandle(HWND hWnd);
void AtlBindWindow(HWND hWnd, CWindowImplRoot* object);
void AtlUnbindWindow(HWND hWnd);

class CWindowImplRoot : public CWindow, public CMessageMap {
public:
    CWindowImplRoot() = default;
    CWindowImplRoot(const CWindowImplRoot&) = delete;
    CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;
    virtual ~CWindowImplRoot();

    // Sends WM_COMMAND, WM_NOTIFY, WM_DRAWITEM and WM_CTLCOLOR* back to the control that
    // sent them, offset by OCM__BASE; unhandled when there is no such control.
    LRESULT ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

    const MSG* m_pCurrentMsg = nullptr;

    // Counts as one more message under way until the matching release.
    void HoldObject() { ++m_depth; }

protected:
    // Bookkeeping around one message; true when the object may now be finished with.
    void EnterMessage(const MSG& message, const MSG*& saved);
    // The message through the map; nothing a handler throws goes further.
    BOOL RouteMessage(const MSG& message, LRESULT& result, BOOL handledWhenThrown);
    bool LeaveMessage(HWND hWnd, UINT uMsg, const MSG* saved);
    // Ends a hold; true when the window went meanwhile and this was the last message or hold.
    bool LeaveHold();

private:
    int m_depth = 0;
    bool m_destroyed = false;
};

class CWindowImplBaseT : public CWindowImplRoot {
public:
    virtual WNDPROC GetWindowProc() { return WindowProc; }
    virtual void OnFinalMessage(HWND hWnd) {}

    LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        return ::CallWindowProcA(m_pfnSuperWindowProc, m_hWnd, uMsg, wParam, lParam);
    }
    LRESULT DefWindowProc()
    {
        return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
    }

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Takes over a window made elsewhere; its former procedure handles what the map leaves.
    BOOL SubclassWindow(HWND hWnd);
    // Gives the window its former procedure back, unless someone subclassed it after us.
    HWND UnsubclassWindow();

    WNDPROC m_pfnSuperWindowProc = ::DefWindowProcA;

protected:
    HWND CreateInClass(const char* className, HWND parent, const RECT* rect, const char* name, DWORD style,
                       DWORD exStyle, HMENU menuOrId, void* param);
};

// class name as the window class of T
#define DECLARE_WND_CLASS(name)                                                                                     \
    static const char* GetWndClassName() { return name; }

template <typename T, typename TBase = CWindow>
class CWindowImpl : public CWindowImplBaseT {
public:
    DECLARE_WND_CLASS(nullptr)

    HWND Create(HWND parent, const RECT* rect = nullptr, const char* name = nullptr, DWORD style = 0,
                DWORD exStyle = 0, HMENU menuOrId = nullptr, void* param = nullptr)
    {
        const char* className = T::GetWndClassName();
        return CreateInClass(className ? className : "KavoWindowImpl", parent, rect, name, style, exStyle, menuOrId,
                             param);
    }
};
