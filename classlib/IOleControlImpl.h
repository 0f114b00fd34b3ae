#pragma once
// IOleControl of a control without mnemonics that reads no ambient properties.
#include "CComControlBase.h"

template <typename T>
class IOleControlImpl : public IOleControl {
public:
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override
    {
        if (!info)
            return E_POINTER;
        info->hAccel = nullptr;
        info->cAccel = 0;
        info->dwFlags = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override
    {
        m_freezeCount += freeze ? 1 : (m_freezeCount > 0 ? -1 : 0);
        return S_OK;
    }

private:
    int m_freezeCount = 0;
};
