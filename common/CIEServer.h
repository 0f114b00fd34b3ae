#pragma once
// The window of a page's HTML document, taken over so that Ctrl + mouse wheel cannot zoom the
// page. A member of its page: the page owns it, and the subclass ends with the window.
#include "CWindowImpl.h"

class CIEServer : public CWindowImpl<CIEServer> {
public:
    BEGIN_MSG_MAP(CIEServer)
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    // The document window that is still there and still ours.
    bool HasLiveWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

private:
    LRESULT OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
};
