#pragma once
// Quick activation: the container hands over its sites and sinks in one call. T provides the
// CComControlBase state, GetMiscStatus() and AdvisePropertyNotify(sink, cookie).
#include "CComControlBase.h"

template <typename T>
class IQuickActivateImpl : public IQuickActivate {
public:
    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override
    {
        if (!container || !control)
            return E_POINTER;
        if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL))
            return E_INVALIDARG;
        T* self = static_cast<T*>(this);
        self->m_clientSite = container->pClientSite;
        if (container->pAdviseSink)
            self->m_viewSink = container->pAdviseSink;
        control->dwMiscStatus = T::GetMiscStatus();
        control->dwViewStatus = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
        control->dwEventCookie = 0;
        control->dwPropNotifyCookie = 0;
        control->dwPointerActivationPolicy = 0;
        if (container->pPropertyNotifySink)
            self->AdvisePropertyNotify(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override
    {
        if (!size)
            return E_POINTER;
        static_cast<T*>(this)->m_sizeExtent = *size;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override
    {
        if (!size)
            return E_POINTER;
        *size = static_cast<T*>(this)->m_sizeExtent;
        return S_OK;
    }
};
