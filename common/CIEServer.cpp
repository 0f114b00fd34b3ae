#include "CIEServer.h"

LRESULT CIEServer::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (::GetAsyncKeyState(VK_CONTROL) == 0)
        bHandled = FALSE;
    return 0;
}

LRESULT CIEServer::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The window's own procedure still has to see its WM_DESTROY after we let go of it.
    const WNDPROC former = m_pfnSuperWindowProc;
    HWND window = m_hWnd;
    UnsubclassWindow();
    m_hWnd = nullptr;
    return ::CallWindowProcA(former, window, uMsg, wParam, lParam);
}
