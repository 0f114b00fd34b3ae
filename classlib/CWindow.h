#pragma once
// A window handle with the calls the program makes on it. Does not own the window.
#include <windows.h>

class CWindow {
public:
    CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    operator HWND() const { return m_hWnd; }
    CWindow& operator=(HWND hWnd)
    {
        m_hWnd = hWnd;
        return *this;
    }
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach()
    {
        HWND hWnd = m_hWnd;
        m_hWnd = nullptr;
        return hWnd;
    }

    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND SetParent(HWND parent) { return ::SetParent(m_hWnd, parent); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    BOOL SetWindowText(const char* text) { return ::SetWindowTextA(m_hWnd, text); }
    BOOL SetDlgItemText(int id, const char* text) { return ::SetDlgItemTextA(m_hWnd, id, text); }
    BOOL GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect); }
    BOOL GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    BOOL MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE) { return ::MoveWindow(m_hWnd, x, y, cx, cy, repaint); }
    LONG GetStyle() const { return LONG(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    LONG GetExStyle() const { return LONG(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    LONG_PTR GetWindowLongPtr(int index) const { return ::GetWindowLongPtrA(m_hWnd, index); }
    LONG_PTR SetWindowLongPtr(int index, LONG_PTR value) { return ::SetWindowLongPtrA(m_hWnd, index, value); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL RedrawWindow(UINT flags) { return ::RedrawWindow(m_hWnd, nullptr, nullptr, flags); }
    int MessageBox(const char* text, const char* caption, UINT type) { return ::MessageBoxA(m_hWnd, text, caption, type); }

    // Centres on the owner (or parent), else on the work area of the window's monitor.
    BOOL CenterWindow(HWND center = nullptr)
    {
        if (!center)
            center = ::GetWindow(m_hWnd, GW_OWNER);
        if (!center)
            center = ::GetParent(m_hWnd);
        RECT area;
        if (center && (::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD) == 0 && ::IsWindowVisible(center)) {
            ::GetWindowRect(center, &area);
        } else {
            MONITORINFO info = {sizeof info};
            ::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info);
            area = info.rcWork;
        }
        RECT own;
        ::GetWindowRect(m_hWnd, &own);
        const int width = own.right - own.left;
        const int height = own.bottom - own.top;
        return ::SetWindowPos(m_hWnd, nullptr, area.left + (area.right - area.left - width) / 2,
                              area.top + (area.bottom - area.top - height) / 2, 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND m_hWnd;
};
