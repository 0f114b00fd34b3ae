#pragma once
// Storage persistence of a control: the record of IPersistStreamInitImpl, in a stream named
// "Contents" of the container's storage.
#include "CComControlBase.h"
#include "CComPtr.h"

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
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override
    {
        if (!storage)
            return E_POINTER;
        Self()->InitProperties();
        Self()->SetDirty(false);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override
    {
        if (!storage)
            return E_POINTER;
        CComPtr<IStream> stream;
        HRESULT hr = storage->OpenStream(kStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
        if (FAILED(hr))
            return hr;
        hr = Self()->ReadProperties(stream);
        if (SUCCEEDED(hr))
            Self()->SetDirty(false);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL) override
    {
        if (!storage)
            return E_POINTER;
        CComPtr<IStream> stream;
        const HRESULT hr = storage->CreateStream(kStreamName, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                                 &stream);
        if (FAILED(hr))
            return hr;
        return Self()->WriteProperties(stream);
    }
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override
    {
        Self()->SetDirty(false);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

private:
    static constexpr const wchar_t* kStreamName = L"Contents";
    T* Self() { return static_cast<T*>(this); }
};
