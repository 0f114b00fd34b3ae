#pragma once
// An enumerator over a copy of a collection taken when it is made (IEnumConnectionPoints,
// IEnumConnections). It holds a reference to the object that owns the items, so the items
// outlive it; each item it hands out carries a reference that the caller releases.
#include <ocidl.h>

#include <new>
#include <vector>

inline void EnumItemAddRef(IConnectionPoint* item) { item->AddRef(); }
inline void EnumItemRelease(IConnectionPoint* item) { item->Release(); }
inline void EnumItemAddRef(const CONNECTDATA& item) { item.pUnk->AddRef(); }
inline void EnumItemRelease(const CONNECTDATA& item) { item.pUnk->Release(); }

template <typename Interface, const IID* InterfaceId, typename Item>
class CEnumSnapshot final : public Interface {
public:
    // *result: the new enumerator with one reference, null on failure.
    static HRESULT Create(IUnknown* owner, const std::vector<Item>& items, size_t position, Interface** result)
    {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        auto* enumerator = new (std::nothrow) CEnumSnapshot(owner, items, position);
        if (!enumerator)
            return E_OUTOFMEMORY;
        *result = enumerator;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != *InterfaceId)
            return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // *fetched (may be null when count is 1): how many items were written, 0 on failure.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override
    {
        if (fetched)
            *fetched = 0;
        if (!items || (count != 1 && !fetched))
            return E_POINTER;
        ULONG done = 0;
        for (; done < count && m_position < m_items.size(); ++done, ++m_position) {
            items[done] = m_items[m_position];
            EnumItemAddRef(items[done]);
        }
        if (fetched)
            *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const size_t left = m_items.size() - m_position;
        if (count > left) {
            m_position = m_items.size();
            return S_FALSE;
        }
        m_position += count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(Interface** result) override
    {
        return Create(m_owner, m_items, m_position, result);
    }

private:
    CEnumSnapshot(IUnknown* owner, const std::vector<Item>& items, size_t position)
        : m_owner(owner), m_items(items), m_position(position)
    {
        m_owner->AddRef();
        for (const Item& item : m_items)
            EnumItemAddRef(item);
    }
    ~CEnumSnapshot()
    {
        for (const Item& item : m_items)
            EnumItemRelease(item);
        m_owner->Release();
    }

    IUnknown* m_owner;
    std::vector<Item> m_items;
    size_t m_position;
    LONG m_references = 1;
};

using CEnumConnectionPointsSnapshot = CEnumSnapshot<IEnumConnectionPoints, &IID_IEnumConnectionPoints, IConnectionPoint*>;
using CEnumConnectionsSnapshot = CEnumSnapshot<IEnumConnections, &IID_IEnumConnections, CONNECTDATA>;
