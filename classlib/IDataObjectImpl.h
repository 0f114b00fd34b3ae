#pragma once
// The data object of a control that offers no data formats; containers may still ask to be
// told of data changes.
#include "CComControlBase.h"

template <typename T>
class IDataObjectImpl : public IDataObject {
public:
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** formats) override
    {
        if (formats)
            *formats = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* cookie) override
    {
        T* self = static_cast<T*>(this);
        if (!self->m_dataAdviseHolder && FAILED(::CreateDataAdviseHolder(&self->m_dataAdviseHolder)))
            return E_OUTOFMEMORY;
        return self->m_dataAdviseHolder->Advise(this, format, flags, sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD cookie) override
    {
        T* self = static_cast<T*>(this);
        return self->m_dataAdviseHolder ? self->m_dataAdviseHolder->Unadvise(cookie) : OLE_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override
    {
        if (!advises)
            return E_POINTER;
        *advises = nullptr;
        T* self = static_cast<T*>(this);
        return self->m_dataAdviseHolder ? self->m_dataAdviseHolder->EnumAdvise(advises) : E_FAIL;
    }
};
