#pragma once
// Receives a browser's events (DWebBrowserEvents2) and calls the page's event operations by
// dispatch id: the main browser's, or for an extra browser (item id not 0) the item
// operations, which have no new-window event. Nothing thrown by a page leaves Invoke.
// The sink is a member of its page, so a reference to the sink holds the page: a page that
// hands over from inside an event is deleted only when the browser lets go of the sink
// after Invoke, not while Invoke is still on the stack.
#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include "CComObjectImpl.h"
#include "CComPtr.h"

class CWBDialog;

enum : DISPID {
    DISPID_KAVO_BEFORENAVIGATE2 = 250,
    DISPID_KAVO_DOCUMENTCOMPLETE = 259,
    DISPID_KAVO_COMMANDSTATECHANGE = 105,
    DISPID_KAVO_NAVIGATEERROR = 271,
    DISPID_KAVO_NEWWINDOW3 = 273,
};

extern const IID DIID_KavoWebBrowserEvents2;

class CWebBrowserEventSink : public CComObjectImpl<CWebBrowserEventSink, CComOwnedLifetime, IDispatch> {
public:
    explicit CWebBrowserEventSink(CWBDialog* page, WORD itemId = 0) : m_page(page), m_itemId(itemId) {}
    CWebBrowserEventSink(const CWebBrowserEventSink&) = delete;
    CWebBrowserEventSink& operator=(const CWebBrowserEventSink&) = delete;
    virtual ~CWebBrowserEventSink();

    // Connects to the browser's event source; S_OK when connected.
    HRESULT Advise(IUnknown* browser);
    void Unadvise();
    bool IsAdvised() const { return m_point != nullptr; }

    // The sink lives inside its page, which alone ends it: Release never deletes it.
    // Answers the event interface's id as well.
    HRESULT QueryOther(REFIID iid, void** object);
    // A reference to the sink holds its page (the page may be gone after the last Release).
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT* argumentError) override;

    // Only while nothing holds the sink: the references held are the page's.
    void SetTarget(CWBDialog* page, WORD itemId)
    {
        m_page = page;
        m_itemId = itemId;
    }

private:
    HRESULT Dispatch(DISPID id, DISPPARAMS* params);

    CWBDialog* m_page;
    WORD m_itemId;
    CComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};
