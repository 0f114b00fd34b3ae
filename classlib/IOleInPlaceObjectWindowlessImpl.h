#pragma once
// The in-place object of a control that is always windowed: the windowless calls are answered
// as a windowed control answers them (no window messages or drop target of its own).
#include "CComControlBase.h"

template <typename T>
class IOleInPlaceObjectWindowlessImpl : public IOleInPlaceObjectWindowless {
public:
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        *window = Self()->ControlWindow();
        return *window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override { return Self()->CComControlBase::InPlaceDeactivate(); }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return Self()->CComControlBase::UIDeactivate(); }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override
    {
        return Self()->CComControlBase::SetObjectRects(position, clip);
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) override
    {
        if (result)
            *result = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** target) override
    {
        if (!target)
            return E_POINTER;
        *target = nullptr;
        return E_NOTIMPL;
    }

private:
    T* Self() { return static_cast<T*>(this); }
};
