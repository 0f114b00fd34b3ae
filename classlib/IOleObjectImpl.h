#pragma once
// IOleObject of an always-windowed control. T provides the CComControlBase state and
//     static const CLSID& GetObjectCLSID();  static DWORD GetMiscStatus();
#include "CComControlBase.h"

template <typename T>
class IOleObjectImpl : public IOleObject {
public:
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override
    {
        Self()->m_clientSite = site;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override
    {
        if (!site)
            return E_POINTER;
        *site = Self()->m_clientSite;
        if (*site)
            (*site)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override
    {
        Self()->CComControlBase::InPlaceDeactivate();
        if (Self()->m_oleAdviseHolder)
            Self()->m_oleAdviseHolder->SendOnClose();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** data) override
    {
        if (data)
            *data = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT position) override
    {
        if (site && !Self()->m_clientSite)
            Self()->m_clientSite = site;
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE: {
            const HRESULT hr = Self()->CComControlBase::InPlaceActivate(verb);
            if (SUCCEEDED(hr) && position)
                Self()->CComControlBase::SetObjectRects(position, position);
            return hr;
        }
        case OLEIVERB_HIDE:
            Self()->CComControlBase::UIDeactivate();
            if (HWND window = Self()->ControlWindow())
                ::ShowWindow(window, SW_HIDE);
            return S_OK;
        case OLEIVERB_DISCARDUNDOSTATE:
            return S_OK;
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
        }
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override
    {
        return ::OleRegEnumVerbs(T::GetObjectCLSID(), verbs);
    }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = T::GetObjectCLSID();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override
    {
        return ::OleRegGetUserType(T::GetObjectCLSID(), form, type);
    }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override
    {
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!size)
            return E_POINTER;
        Self()->m_sizeExtent = *size;
        Self()->SetDirty(true);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override
    {
        if (aspect != DVASPECT_CONTENT)
            return E_FAIL;
        if (!size)
            return E_POINTER;
        *size = Self()->m_sizeExtent;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override
    {
        if (!Self()->m_oleAdviseHolder && FAILED(::CreateOleAdviseHolder(&Self()->m_oleAdviseHolder)))
            return E_OUTOFMEMORY;
        return Self()->m_oleAdviseHolder->Advise(sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        return Self()->m_oleAdviseHolder ? Self()->m_oleAdviseHolder->Unadvise(cookie) : OLE_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advises) override
    {
        if (!advises)
            return E_POINTER;
        *advises = nullptr;
        return Self()->m_oleAdviseHolder ? Self()->m_oleAdviseHolder->EnumAdvise(advises) : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override
    {
        if (!status)
            return E_POINTER;
        *status = aspect == DVASPECT_CONTENT ? T::GetMiscStatus() : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

private:
    T* Self() { return static_cast<T*>(this); }
};
