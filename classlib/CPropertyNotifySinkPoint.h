#pragma once
// The connection point for IPropertyNotifySink: a part of its container object, whose
// references it shares (it lives and dies with the container, never on its own).
#include <ocidl.h>
#include <olectl.h>

#include "CEnumSnapshot.h"

#include <utility>
#include <vector>

class CPropertyNotifySinkPoint final : public IConnectionPoint {
public:
    explicit CPropertyNotifySinkPoint(IConnectionPointContainer* container) : m_container(container) {}
    CPropertyNotifySinkPoint(const CPropertyNotifySinkPoint&) = delete;
    CPropertyNotifySinkPoint& operator=(const CPropertyNotifySinkPoint&) = delete;
    ~CPropertyNotifySinkPoint() { Clear(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IConnectionPoint)
            return E_NOINTERFACE;
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_container->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_container->Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override
    {
        if (!iid)
            return E_POINTER;
        *iid = IID_IPropertyNotifySink;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override
    {
        if (!container)
            return E_POINTER;
        m_container->AddRef();
        *container = m_container;
        return S_OK;
    }
    // *cookie: the connection's number, 0 on failure.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override
    {
        if (!sink || !cookie)
            return E_POINTER;
        *cookie = 0;
        IPropertyNotifySink* notify = nullptr;
        if (FAILED(sink->QueryInterface(IID_IPropertyNotifySink, reinterpret_cast<void**>(&notify))) || !notify)
            return CONNECT_E_CANNOTCONNECT;
        *cookie = ++m_lastCookie;
        m_sinks.emplace_back(*cookie, notify);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
            if (it->first == cookie) {
                IPropertyNotifySink* sink = it->second;
                m_sinks.erase(it);
                sink->Release();
                return S_OK;
            }
        }
        return CONNECT_E_NOCONNECTION;
    }
    // The enumerator sees the sinks advised when it was made.
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override
    {
        std::vector<CONNECTDATA> snapshot;
        for (const auto& entry : m_sinks)
            snapshot.push_back(CONNECTDATA{entry.second, entry.first});
        return CEnumConnectionsSnapshot::Create(m_container, snapshot, 0, connections);
    }

    // Tells every connected sink; a sink may disconnect itself meanwhile.
    void FireOnChanged(DISPID id)
    {
        const auto sinks = m_sinks;
        for (const auto& entry : sinks)
            entry.second->AddRef();
        for (const auto& entry : sinks) {
            entry.second->OnChanged(id);
            entry.second->Release();
        }
    }
    size_t ConnectionCount() const { return m_sinks.size(); }

    void Clear()
    {
        for (const auto& entry : m_sinks)
            entry.second->Release();
        m_sinks.clear();
    }

private:
    IConnectionPointContainer* m_container;
    std::vector<std::pair<DWORD, IPropertyNotifySink*>> m_sinks;
    DWORD m_lastCookie = 0;
};
