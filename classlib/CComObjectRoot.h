#pragma once
// IUnknown for a class that implements many interfaces through the *Impl bases: the final
// class lists its interfaces in a table (the first entry is the object's identity) and
// forwards its three IUnknown methods here with DECLARE_COM_UNKNOWN.
#include <windows.h>
#include <unknwn.h>

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

public:
    // References given out and not yet released.
    LONG OutstandingReferences() const { return m_refs; }

private:
    volatile LONG m_refs = 0;
};

// Inside the final class, which derives from CComObjectRoot and defines
//     static const CComInterfaceEntry* GetInterfaceEntries();
#define DECLARE_COM_UNKNOWN()                                                                                       \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override                                    \
    {                                                                                                               \
        return InternalQueryInterface(this, GetInterfaceEntries(), iid, object);                                          \
    }                                                                                                               \
    ULONG STDMETHODCALLTYPE AddRef() override { return InternalAddRef(); }                                          \
    ULONG STDMETHODCALLTYPE Release() override                                                                      \
    {                                                                                                               \
        const ULONG refs = InternalRelease();                                                                       \
        if (refs == 0)                                                                                              \
            delete this;                                                                                            \
        return refs;                                                                                                \
    }
