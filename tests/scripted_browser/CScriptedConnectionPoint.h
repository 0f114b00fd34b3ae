#pragma once
// The browser's DWebBrowserEvents2 source: the sinks advised on it, and the call of each of
// them for an event. A part of its browser: it shares the browser's reference count.
#include <windows.h>
#include <ocidl.h>

#include <utility>
#include <vector>

#include "CComPtr.h"
#include "ScriptedStubs.h"

namespace scripted {

class CScriptedConnectionPoint final : public CStubConnectionPoint {
public:
    CScriptedConnectionPoint(IUnknown* owner, IConnectionPointContainer* container);
    ~CScriptedConnectionPoint();
    CScriptedConnectionPoint(const CScriptedConnectionPoint&) = delete;
    CScriptedConnectionPoint& operator=(const CScriptedConnectionPoint&) = delete;

    // Calls every sink advised now (later advises wait for the next event).
    void Fire(DISPID id, DISPPARAMS& params);
    void UnadviseAll();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;

private:
    IUnknown* m_owner;
    IConnectionPointContainer* m_container;
    std::vector<std::pair<DWORD, CComPtr<IDispatch>>> m_sinks;
    DWORD m_nextCookie = 1;
};

}  // namespace scripted
