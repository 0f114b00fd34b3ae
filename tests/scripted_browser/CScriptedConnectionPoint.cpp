#include "CScriptedConnectionPoint.h"

#include "ScriptedIids.h"

namespace scripted {

CScriptedConnectionPoint::CScriptedConnectionPoint(IUnknown* owner, IConnectionPointContainer* container)
    : m_owner(owner), m_container(container)
{
}

CScriptedConnectionPoint::~CScriptedConnectionPoint()
{
    UnadviseAll();
}

void CScriptedConnectionPoint::UnadviseAll()
{
    // Released outside the list: a sink's release may come back here.
    std::vector<std::pair<DWORD, CComPtr<IDispatch>>> sinks;
    sinks.swap(m_sinks);
}

void CScriptedConnectionPoint::Fire(DISPID id, DISPPARAMS& params)
{
    std::vector<CComPtr<IDispatch>> sinks;
    for (auto& sink : m_sinks)
        sinks.push_back(sink.second);
    for (auto& sink : sinks) {
        UINT argumentError = 0;
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, &argumentError);
    }
}

HRESULT CScriptedConnectionPoint::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CScriptedConnectionPoint::AddRef()
{
    return m_owner->AddRef();
}

ULONG CScriptedConnectionPoint::Release()
{
    return m_owner->Release();
}

HRESULT CScriptedConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = kDiidWebBrowserEvents2;
    return S_OK;
}

HRESULT CScriptedConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = m_container;
    m_container->AddRef();
    return S_OK;
}

HRESULT CScriptedConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    CComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) || !dispatch)
        return CONNECT_E_CANNOTCONNECT;
    try {
        m_sinks.emplace_back(m_nextCookie, std::move(dispatch));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    *cookie = m_nextCookie++;
    return S_OK;
}

HRESULT CScriptedConnectionPoint::Unadvise(DWORD cookie)
{
    for (auto at = m_sinks.begin(); at != m_sinks.end(); ++at) {
        if (at->first == cookie) {
            CComPtr<IDispatch> sink = std::move(at->second);
            m_sinks.erase(at);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

}  // namespace scripted
