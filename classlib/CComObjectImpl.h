#pragma once
// IUnknown written once for the project's COM classes:
//     class CThing final : public CComObjectImpl<CThing, CComHeapLifetime, IFirst, ISecond> { ... };
// QueryInterface answers IID_IUnknown (as the first interface, the object's identity) and the
// id of each listed interface, and AddRefs what it gives out. A class that answers more ids
// (an interface's bases, an event interface's id) or hands unknown ids on defines
//     HRESULT QueryOther(REFIID iid, void** object)
// which is asked last; it must AddRef what it gives out as well.
#include <windows.h>
#include <unknwn.h>

// Made with new; the count starts at 1 for the creator, and the last Release deletes it.
struct CComHeapLifetime {
    static constexpr LONG kInitial = 1;
    static constexpr bool kDeletes = true;
};

// Lives inside its owner (a member, or on its creator's stack), which alone decides when it
// goes; Release never deletes it. The count is kept for the owner's checks.
struct CComOwnedLifetime {
    static constexpr LONG kInitial = 0;
    static constexpr bool kDeletes = false;
};

template <typename Derived, typename Lifetime, typename First, typename... Others>
class CComObjectImpl : public First, public Others... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == __uuidof(First))
            *object = static_cast<First*>(static_cast<Derived*>(this));
        else
            ((*object || iid != __uuidof(Others) ? void() : void(*object = static_cast<Others*>(static_cast<Derived*>(this)))), ...);
        if (!*object)
            return static_cast<Derived*>(this)->QueryOther(iid, object);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if constexpr (Lifetime::kDeletes) {
            if (refs == 0)
                delete static_cast<Derived*>(this);
        }
        return ULONG(refs);
    }

    // References given out and not yet released (with the creator's, for a heap object).
    LONG OutstandingReferences() const { return m_refs; }

protected:
    CComObjectImpl() = default;
    CComObjectImpl(const CComObjectImpl&) = delete;
    CComObjectImpl& operator=(const CComObjectImpl&) = delete;
    // Protected and not virtual: a heap object is deleted as Derived, never through a base.
    ~CComObjectImpl() = default;

    HRESULT QueryOther(REFIID, void**) { return E_NOINTERFACE; }

private:
    volatile LONG m_refs = Lifetime::kInitial;
};
