#pragma once
// Storage persistence of a control that keeps none of its properties (see IPersistStreamInitImpl).
#include "CComControlBase.h"

template <typename T>
class IPersistStorageImpl : public IPersistStorage {
public:
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = T::GetObjectCLSID();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return Self()->m_requiresSave ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override { return storage ? S_OK : E_POINTER; }
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override { return storage ? S_OK : E_POINTER; }
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL) override { return storage ? S_OK : E_POINTER; }
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override
    {
        Self()->SetDirty(false);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

private:
    T* Self() { return static_cast<T*>(this); }
};
