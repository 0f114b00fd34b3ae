#pragma once
// Stream persistence of a control that keeps none of its properties across sessions: a page
// sets them by script each time, so loading and saving carry no data.
#include "CComControlBase.h"

template <typename T>
class IPersistStreamInitImpl : public IPersistStreamInit {
public:
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = T::GetObjectCLSID();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return Self()->m_requiresSave ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override { return stream ? S_OK : E_POINTER; }
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override
    {
        if (!stream)
            return E_POINTER;
        if (clearDirty)
            Self()->SetDirty(false);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override
    {
        if (!size)
            return E_POINTER;
        size->QuadPart = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InitNew() override { return S_OK; }

private:
    T* Self() { return static_cast<T*>(this); }
};
