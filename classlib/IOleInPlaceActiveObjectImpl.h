#pragma once
// The active object of a control whose window is a dialog: the container hands it keys first,
// and the dialog's own navigation (Tab, the buttons' keys) takes what it understands.
#include "CComControlBase.h"

template <typename T>
class IOleInPlaceActiveObjectImpl : public IOleInPlaceActiveObject {
public:
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        *window = Self()->ControlWindow();
        return *window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override
    {
        HWND window = Self()->ControlWindow();
        if (!message || !window || (message->message != WM_KEYDOWN && message->message != WM_KEYUP))
            return S_FALSE;
        if (message->hwnd != window && !::IsChild(window, message->hwnd))
            return S_FALSE;
        return ::IsDialogMessageA(window, message) ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

private:
    T* Self() { return static_cast<T*>(this); }
};
