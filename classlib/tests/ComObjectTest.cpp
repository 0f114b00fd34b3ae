#include <gtest/gtest.h>

#include <oaidl.h>
#include <objidl.h>
#include <ole2.h>

#include "CComObjectImpl.h"
#include "CComPtr.h"

namespace {

int g_destroyed = 0;

class CHeapThing final : public CComObjectImpl<CHeapThing, CComHeapLifetime, ISequentialStream, IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // One more id, answered through the hook.
    HRESULT QueryOther(REFIID iid, void** object)
    {
        if (iid != IID_IStream)
            return E_NOINTERFACE;
        *object = static_cast<ISequentialStream*>(this);
        AddRef();
        return S_OK;
    }

private:
    friend CComObjectImpl;
    ~CHeapThing() { ++g_destroyed; }
};

class COwnedThing : public CComObjectImpl<COwnedThing, CComOwnedLifetime, ISequentialStream> {
public:
    HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return S_OK; }
};

TEST(ComObject, EveryAnswerIsAddRefedAndSharesOneIdentity)
{
    g_destroyed = 0;
    auto* thing = new CHeapThing;
    EXPECT_EQ(thing->OutstandingReferences(), 1);
    struct Case {
        const IID* iid;
        HRESULT expected;
    };
    const Case cases[] = {{&IID_IUnknown, S_OK}, {&IID_ISequentialStream, S_OK}, {&IID_IDispatch, S_OK},
                          {&IID_IStream, S_OK},  {&IID_IOleObject, E_NOINTERFACE}};
    CComPtr<IUnknown> identity;
    ASSERT_EQ(thing->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    for (const Case& c : cases) {
        void* raw = reinterpret_cast<void*>(1);
        const LONG before = thing->OutstandingReferences();
        EXPECT_EQ(thing->QueryInterface(*c.iid, &raw), c.expected);
        if (c.expected != S_OK) {
            EXPECT_EQ(raw, nullptr);
            EXPECT_EQ(thing->OutstandingReferences(), before);
            continue;
        }
        EXPECT_EQ(thing->OutstandingReferences(), before + 1);
        auto* answer = static_cast<IUnknown*>(raw);
        CComPtr<IUnknown> same;
        ASSERT_EQ(answer->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&same)), S_OK);
        EXPECT_EQ(same.p, identity.p);
        answer->Release();
    }
    EXPECT_EQ(thing->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    identity.Release();
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(static_cast<ISequentialStream*>(thing)->Release(), 0u);
    EXPECT_EQ(g_destroyed, 1);
}

TEST(ComObject, OwnedObjectCountsWhatOthersHoldAndIsNeverDeletedByThem)
{
    COwnedThing thing;
    EXPECT_EQ(thing.OutstandingReferences(), 0);
    CComPtr<ISequentialStream> held;
    ASSERT_EQ(thing.QueryInterface(IID_ISequentialStream, reinterpret_cast<void**>(&held)), S_OK);
    EXPECT_EQ(thing.OutstandingReferences(), 1);
    held.Release();
    EXPECT_EQ(thing.OutstandingReferences(), 0);
    // Still alive and usable after the last outside reference went.
    EXPECT_EQ(thing.Write("x", 1, nullptr), S_OK);
}

}  // namespace
