#pragma once
// The class factory of one coclass T (a COM class made with new and deleted by its last
// Release, as DECLARE_COM_UNKNOWN does). An outer object may aggregate T; COM then requires it
// to ask for IUnknown, the inner unknown it alone holds. The factory is a static object of its
// module; its references only keep the module locked while a client holds it.
#include <new>

#include "CComModule.h"
#include "CComObjectImpl.h"

template <typename T>
class CComClassFactory final : public CComObjectImpl<CComClassFactory<T>, CComOwnedLifetime, IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer && iid != IID_IUnknown)
            return CLASS_E_NOAGGREGATION;
        T* created = new (std::nothrow) T;
        if (!created)
            return E_OUTOFMEMORY;
        if (outer) {
            IUnknown* inner = created->AggregateInto(outer);
            inner->AddRef();
            *object = inner;
            return S_OK;
        }
        created->AddRef();
        const HRESULT hr = created->QueryInterface(iid, object);
        created->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            AtlComModule().Lock();
        else
            AtlComModule().Unlock();
        return S_OK;
    }

    static CComClassFactory& Instance()
    {
        static CComClassFactory factory;
        return factory;
    }
};
