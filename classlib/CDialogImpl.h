#pragma once
// Dialogs from templates of the resource module, modal or modeless. A handled message's
// result goes through DWLP_MSGRESULT, except for the messages whose result is the dialog
// procedure's return value itself (WM_INITDIALOG, WM_CTLCOLOR* and a few list messages).
#include <windows.h>

#include "CAtlModule.h"
#include "CWindowImpl.h"

class CDialogImplBaseT : public CWindowImplRoot {
public:
    virtual DLGPROC GetDialogProc() { return DialogProc; }
    virtual void OnFinalMessage(HWND hWnd) {}

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    BOOL EndDialog(int result) { return ::EndDialog(m_hWnd, result); }

    // Ends a HoldObject; when the window went while held and nothing else holds the object,
    // it has its final message here and may be gone when this returns.
    void ReleaseObject();

protected:
    // finished: the object had its final message (and may be gone) before this returned.
    HWND CreateFromTemplate(HINSTANCE module, UINT id, HWND parent, LPARAM init, bool* finished = nullptr);
    INT_PTR DoModalFromTemplate(HINSTANCE module, UINT id, HWND parent, LPARAM init);
};

template <typename T>
class CDialogImpl : public CDialogImplBaseT {
public:
    HWND Create(HWND parent, LPARAM init = 0, bool* finished = nullptr)
    {
        return CreateFromTemplate(AtlGetResourceInstance(), static_cast<T*>(this)->GetDialogId(), parent, init,
                                  finished);
    }
    INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM init = 0)
    {
        return DoModalFromTemplate(AtlGetResourceInstance(), static_cast<T*>(this)->GetDialogId(), parent, init);
    }
    UINT GetDialogId() const { return T::IDD; }
};
