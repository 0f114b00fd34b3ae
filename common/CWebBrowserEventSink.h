#pragma once
// Receives a page's main-browser events (DWebBrowserEvents2) and calls the page's event
// operations by dispatch id. Nothing thrown by a page leaves Invoke.
#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

class CWBDialog;

enum : DISPID {
    DISPID_KAVO_BEFORENAVIGATE2 = 250,
    DISPID_KAVO_DOCUMENTCOMPLETE = 259,
    DISPID_KAVO_COMMANDSTATECHANGE = 105,
    DISPID_KAVO_NAVIGATEERROR = 271,
    DISPID_KAVO_NEWWINDOW3 = 273,
};

extern const IID DIID_KavoWebBrowserEvents2;

class CWebBrowserEventSink : public IDispatch {
public:
    explicit CWebBrowserEventSink(CWBDialog* page) : m_page(page) {}
    CWebBrowserEventSink(const CWebBrowserEventSink&) = delete;
    CWebBrowserEventSink& operator=(const CWebBrowserEventSink&) = delete;
    virtual ~CWebBrowserEventSink();

    // Connects to the browser's event source; S_OK when connected.
    HRESULT Advise(IUnknown* browser);
    void Unadvise();
    bool IsAdvised() const { return m_point != nullptr; }

    // The sink lives inside its page: the counts only keep COM honest.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT* argumentError) override;

private:
    CWBDialog* m_page;
    IConnectionPoint* m_point = nullptr;
    DWORD m_cookie = 0;
};
