#pragma once
// IDispatch of a dual interface, answered from the module's type library: names to ids and
// Invoke through the interface's own vtable. T derives from this and implements Interface.
#include "CComTypeInfo.h"

template <typename T, typename Interface>
class IDispatchImpl : public Interface {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        const HRESULT hr = LoadInfo();
        if (FAILED(hr))
            return hr;
        m_info->AddRef();
        *info = m_info;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        const HRESULT hr = LoadInfo();
        if (FAILED(hr))
            return hr;
        return ::DispGetIDsOfNames(m_info, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* badArgument) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        const HRESULT hr = LoadInfo();
        if (FAILED(hr))
            return hr;
        return m_info->Invoke(static_cast<Interface*>(static_cast<T*>(this)), id, flags, params, result, exception,
                              badArgument);
    }

protected:
    IDispatchImpl() = default;
    ~IDispatchImpl()
    {
        if (m_info)
            m_info->Release();
    }

private:
    HRESULT LoadInfo()
    {
        return m_info ? S_OK : AtlLoadTypeInfo(AtlThisModule(), __uuidof(Interface), &m_info);
    }

    ITypeInfo* m_info = nullptr;
};
