#include "CWebBrowserEventSink.h"

#include <utility>

#include "CWBDialog.h"

// {34A715A0-6587-11D0-924A-0020AFC7AC4D}
const IID DIID_KavoWebBrowserEvents2 = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

namespace {

// Arguments arrive last first; event arguments are passed by reference or as plain values.
VARIANT* Argument(DISPPARAMS* params, UINT count, UINT index)
{
    return &params->rgvarg[count - 1 - index];
}

VARIANT* ByRefVariant(VARIANT* argument)
{
    return (argument->vt & VT_BYREF) && (argument->vt & VT_TYPEMASK) == VT_VARIANT ? argument->pvarVal : argument;
}

VARIANT_BOOL* ByRefBool(VARIANT* argument)
{
    return argument->vt == (VT_BOOL | VT_BYREF) ? argument->pboolVal : nullptr;
}

IDispatch* DispatchOf(VARIANT* argument)
{
    return argument->vt == VT_DISPATCH ? argument->pdispVal : nullptr;
}

}  // namespace

CWebBrowserEventSink::~CWebBrowserEventSink()
{
    Unadvise();
}

HRESULT CWebBrowserEventSink::Advise(IUnknown* browser)
{
    Unadvise();
    if (!browser)
        return E_POINTER;
    CComPtr<IConnectionPointContainer> container;
    HRESULT hr = browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr))
        return hr;
    CComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(DIID_KavoWebBrowserEvents2, &point);
    if (FAILED(hr))
        return hr;
    hr = point->Advise(this, &m_cookie);
    if (FAILED(hr))
        return hr;
    m_point = std::move(point);
    return S_OK;
}

void CWebBrowserEventSink::Unadvise()
{
    if (!m_point)
        return;
    m_point->Unadvise(m_cookie);
    m_point.Release();
    m_cookie = 0;
}

HRESULT CWebBrowserEventSink::QueryOther(REFIID iid, void** object)
{
    if (iid != DIID_KavoWebBrowserEvents2)
        return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CWebBrowserEventSink::AddRef()
{
    if (m_page)
        m_page->HoldObject();
    return CComObjectImpl::AddRef();
}

ULONG STDMETHODCALLTYPE CWebBrowserEventSink::Release()
{
    const ULONG refs = CComObjectImpl::Release();
    // Nothing of this object is touched after the page's release: it may have deleted both.
    if (CWBDialog* page = m_page)
        page->ReleaseObject();
    return refs;
}

HRESULT STDMETHODCALLTYPE CWebBrowserEventSink::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWebBrowserEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CWebBrowserEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CWebBrowserEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                                       EXCEPINFO*, UINT*)
{
    if (!params || !m_page)
        return E_POINTER;
    // A browser need not hold the sink while it calls it; the page must outlive the call.
    AddRef();
    HRESULT hr = E_FAIL;
    try {
        hr = Dispatch(id, params);
    } catch (...) {
        hr = E_FAIL;
    }
    Release();
    return hr;
}

HRESULT CWebBrowserEventSink::Dispatch(DISPID id, DISPPARAMS* params)
{
    const UINT count = params->cArgs;
    switch (id) {
    case DISPID_KAVO_BEFORENAVIGATE2: {
        if (count != 7)
            return DISP_E_BADPARAMCOUNT;
        IDispatch* browser = DispatchOf(Argument(params, count, 0));
        VARIANT* url = ByRefVariant(Argument(params, count, 1));
        VARIANT* flags = ByRefVariant(Argument(params, count, 2));
        VARIANT* target = ByRefVariant(Argument(params, count, 3));
        VARIANT* postData = ByRefVariant(Argument(params, count, 4));
        VARIANT* headers = ByRefVariant(Argument(params, count, 5));
        VARIANT_BOOL* cancel = ByRefBool(Argument(params, count, 6));
        if (m_itemId)
            m_page->ItemBeforeNavigate2(m_itemId, browser, url, flags, target, postData, headers, cancel);
        else
            m_page->BeforeNavigate2(browser, url, flags, target, postData, headers, cancel);
        return S_OK;
    }
    case DISPID_KAVO_DOCUMENTCOMPLETE: {
        if (count != 2)
            return DISP_E_BADPARAMCOUNT;
        IDispatch* browser = DispatchOf(Argument(params, count, 0));
        VARIANT* url = ByRefVariant(Argument(params, count, 1));
        if (m_itemId)
            m_page->ItemDocumentComplete(m_itemId, browser, url);
        else
            m_page->DocumentComplete(browser, url);
        return S_OK;
    }
    case DISPID_KAVO_COMMANDSTATECHANGE: {
        if (count != 2)
            return DISP_E_BADPARAMCOUNT;
        VARIANT command;
        VARIANT enable;
        VariantInit(&command);
        VariantInit(&enable);
        if (FAILED(VariantChangeType(&command, Argument(params, count, 0), 0, VT_I4)) ||
            FAILED(VariantChangeType(&enable, Argument(params, count, 1), 0, VT_BOOL)))
            return DISP_E_TYPEMISMATCH;
        if (m_itemId)
            m_page->ItemCommandStateChange(m_itemId, command.lVal, enable.boolVal);
        else
            m_page->CommandStateChange(command.lVal, enable.boolVal);
        return S_OK;
    }
    case DISPID_KAVO_NAVIGATEERROR: {
        if (count != 5)
            return DISP_E_BADPARAMCOUNT;
        IDispatch* browser = DispatchOf(Argument(params, count, 0));
        VARIANT* url = ByRefVariant(Argument(params, count, 1));
        VARIANT* target = ByRefVariant(Argument(params, count, 2));
        VARIANT* status = ByRefVariant(Argument(params, count, 3));
        VARIANT_BOOL* cancel = ByRefBool(Argument(params, count, 4));
        if (m_itemId)
            m_page->ItemNavigateError(m_itemId, browser, url, target, status, cancel);
        else
            m_page->NavigateError(browser, url, target, status, cancel);
        return S_OK;
    }
    case DISPID_KAVO_NEWWINDOW3: {
        if (m_itemId)
            return DISP_E_MEMBERNOTFOUND;
        if (count != 5)
            return DISP_E_BADPARAMCOUNT;
        VARIANT* browser = Argument(params, count, 0);
        VARIANT* flags = Argument(params, count, 2);
        VARIANT* context = Argument(params, count, 3);
        VARIANT* url = Argument(params, count, 4);
        m_page->NewWindow3(browser->vt == (VT_DISPATCH | VT_BYREF) ? browser->ppdispVal : nullptr,
                           ByRefBool(Argument(params, count, 1)), flags->vt == VT_I4 ? DWORD(flags->lVal) : 0,
                           context->vt == VT_BSTR ? context->bstrVal : nullptr,
                           url->vt == VT_BSTR ? url->bstrVal : nullptr);
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
