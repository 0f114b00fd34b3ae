#pragma once
// Stream persistence of a control. The final class T says what is kept:
//     void InitProperties();                 the state of a new control
//     HRESULT WriteProperties(IStream*);
//     HRESULT ReadProperties(IStream*);      changes nothing unless the whole record reads
//     static ULONG PropertiesSize();         bytes WriteProperties writes
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
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override
    {
        if (!stream)
            return E_POINTER;
        const HRESULT hr = Self()->ReadProperties(stream);
        if (SUCCEEDED(hr))
            Self()->SetDirty(false);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override
    {
        if (!stream)
            return E_POINTER;
        const HRESULT hr = Self()->WriteProperties(stream);
        if (SUCCEEDED(hr) && clearDirty)
            Self()->SetDirty(false);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override
    {
        if (!size)
            return E_POINTER;
        size->QuadPart = T::PropertiesSize();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InitNew() override
    {
        Self()->InitProperties();
        Self()->SetDirty(false);
        return S_OK;
    }

private:
    T* Self() { return static_cast<T*>(this); }
};
