#pragma once
// IObjectSafety with a fixed set of supported options: a container may enable any of them,
// for any interface the object has, and nothing else.
#include <objsafe.h>

template <typename T, DWORD Supported>
class IObjectSafetyImpl : public IObjectSafety {
public:
    HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override
    {
        if (!supported || !enabled)
            return E_POINTER;
        *supported = 0;
        *enabled = 0;
        if (!HasInterface(iid))
            return E_NOINTERFACE;
        *supported = Supported;
        *enabled = m_enabled;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override
    {
        if (!HasInterface(iid))
            return E_NOINTERFACE;
        if (mask & ~Supported)
            return E_FAIL;
        m_enabled = (m_enabled & ~mask) | (enabled & mask);
        return S_OK;
    }

    DWORD EnabledSafetyOptions() const { return m_enabled; }

private:
    bool HasInterface(REFIID iid)
    {
        IUnknown* found = nullptr;
        if (FAILED(static_cast<T*>(this)->QueryInterface(iid, reinterpret_cast<void**>(&found))) || !found)
            return false;
        found->Release();
        return true;
    }

    DWORD m_enabled = 0;
};
