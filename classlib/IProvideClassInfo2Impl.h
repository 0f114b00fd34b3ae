#pragma once
// The coclass's type information and its default source interface, from the module's type
// library. T provides GetObjectCLSID() and GetSourceIID().
#include <ocidl.h>

#include "CComTypeInfo.h"

template <typename T>
class IProvideClassInfo2Impl : public IProvideClassInfo2 {
public:
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override
    {
        return AtlLoadTypeInfo(AtlThisModule(), T::GetObjectCLSID(), info);
    }
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override
    {
        if (!guid)
            return E_POINTER;
        *guid = GUID_NULL;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
            return E_INVALIDARG;
        *guid = T::GetSourceIID();
        return S_OK;
    }
};
