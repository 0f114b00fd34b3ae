#pragma once
// IUnknown for a class that implements many interfaces through the *Impl bases: the final
// class lists its interfaces in a table (the first entry is the object's identity) and
// forwards its three IUnknown methods here with DECLARE_COM_UNKNOWN.
//
// Aggregation: an object made part of an outer object (AggregateInto) hands its IUnknown
// calls to the outer one, whose identity it then shares; the outer object alone holds the
// inner, non-delegating unknown, and its last Release of that deletes this object.
#include <windows.h>
#include <unknwn.h>

#include <type_traits>

struct CComInterfaceEntry {
    const IID* iid;  // null ends the table
    DWORD_PTR offset;
};

// The entry for interface itf of cls, answered for the id iid (an interface's base ids name
// the derived interface that carries them).
#define COM_INTERFACE_ENTRY_IID(cls, itf, iid)                                                                      \
    {&(iid), DWORD_PTR(static_cast<itf*>(reinterpret_cast<cls*>(8))) - 8}

class CComObjectRoot {
protected:
    CComObjectRoot() = default;
    CComObjectRoot(const CComObjectRoot&) = delete;
    CComObjectRoot& operator=(const CComObjectRoot&) = delete;
    ~CComObjectRoot() = default;

    using DestroyFunction = void (*)(CComObjectRoot*);

    // self: the final object, from which the table's offsets count.
    HRESULT InternalQueryInterface(void* self, const CComInterfaceEntry* entries, REFIID iid, void** object)
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        for (const CComInterfaceEntry* entry = entries; entry->iid; ++entry) {
            if (iid == *entry->iid || (entry == entries && iid == IID_IUnknown)) {
                auto* found = reinterpret_cast<IUnknown*>(static_cast<char*>(self) + entry->offset);
                found->AddRef();
                *object = found;
                return S_OK;
            }
        }
        return E_NOINTERFACE;
    }
    ULONG InternalAddRef() { return ULONG(::InterlockedIncrement(&m_refs)); }
    ULONG InternalRelease() { return ULONG(::InterlockedDecrement(&m_refs)); }

    // The inner unknown, without a reference, once the object belongs to outer.
    IUnknown* AttachOuter(IUnknown* outer, void* self, const CComInterfaceEntry* entries, DestroyFunction destroy)
    {
        m_outer = outer;
        m_inner.Bind(this, self, entries, destroy);
        return &m_inner;
    }

    // The aggregating object; null while the object stands alone. Not a reference: the outer
    // object owns this one, never the other way round.
    IUnknown* m_outer = nullptr;

public:
    // References given out and not yet released (of the inner unknown when aggregated).
    LONG OutstandingReferences() const { return m_refs; }

private:
    class InnerUnknown final : public IUnknown {
    public:
        void Bind(CComObjectRoot* root, void* self, const CComInterfaceEntry* entries, DestroyFunction destroy)
        {
            m_root = root;
            m_self = self;
            m_entries = entries;
            m_destroy = destroy;
        }
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
        {
            if (!object)
                return E_POINTER;
            if (iid == IID_IUnknown) {
                *object = static_cast<IUnknown*>(this);
                AddRef();
                return S_OK;
            }
            return m_root->InternalQueryInterface(m_self, m_entries, iid, object);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return m_root->InternalAddRef(); }
        ULONG STDMETHODCALLTYPE Release() override
        {
            const ULONG refs = m_root->InternalRelease();
            if (refs == 0)
                m_destroy(m_root);
            return refs;
        }

    private:
        CComObjectRoot* m_root = nullptr;
        void* m_self = nullptr;
        const CComInterfaceEntry* m_entries = nullptr;
        DestroyFunction m_destroy = nullptr;
    };

    volatile LONG m_refs = 0;
    InnerUnknown m_inner;
};

// Inside the final class, which derives from CComObjectRoot and defines
//     static const CComInterfaceEntry* GetInterfaceEntries();
// AggregateInto(outer) makes the object part of outer and returns its inner unknown, without
// a reference: the caller AddRefs it once and owns it from then on.
#define DECLARE_COM_UNKNOWN()                                                                                       \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override                                    \
    {                                                                                                               \
        if (m_outer)                                                                                                \
            return m_outer->QueryInterface(iid, object);                                                            \
        return InternalQueryInterface(this, GetInterfaceEntries(), iid, object);                                    \
    }                                                                                                               \
    ULONG STDMETHODCALLTYPE AddRef() override { return m_outer ? m_outer->AddRef() : InternalAddRef(); }            \
    ULONG STDMETHODCALLTYPE Release() override                                                                      \
    {                                                                                                               \
        if (m_outer)                                                                                                \
            return m_outer->Release();                                                                              \
        const ULONG refs = InternalRelease();                                                                       \
        if (refs == 0)                                                                                              \
            delete this;                                                                                            \
        return refs;                                                                                                \
    }                                                                                                               \
    IUnknown* AggregateInto(IUnknown* outer)                                                                        \
    {                                                                                                               \
        using Self = std::remove_pointer_t<decltype(this)>;                                                         \
        return AttachOuter(outer, this, GetInterfaceEntries(),                                                      \
                           [](CComObjectRoot* root) { delete static_cast<Self*>(root); });                          \
    }
