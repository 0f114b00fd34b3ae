#pragma once
// A dialog page whose template may list ActiveX controls by their class id.
#include "CAxHost.h"
#include "CDialogImpl.h"

template <typename T>
class CAxDialogImpl : public CDialogImpl<T> {
public:
    virtual HRESULT CreateActiveXControls(HINSTANCE resourceInstance) { return S_OK; }

    HWND Create(HWND parent, LPARAM init = 0, bool* finished = nullptr)
    {
        AtlAxWinInit();
        return CDialogImpl<T>::Create(parent, init, finished);
    }
    INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM init = 0)
    {
        AtlAxWinInit();
        return CDialogImpl<T>::DoModal(parent, init);
    }
};
