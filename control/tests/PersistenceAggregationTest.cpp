// What a container keeps of the control (stream and storage records, the dirty mark) and the
// control as part of an outer object, whose identity and reference count it then shares.
#include <windows.h>
#include <ole2.h>

#include <cstring>
#include <vector>

#include "ControlTestSupport.h"
#include "Cpevlin.h"
#include "PevlinObject.h"

namespace {

class PevlinPersistence : public PevlinObject {
protected:
    template <typename I>
    CComPtr<I> Query(const IID& iid)
    {
        CComPtr<I> found;
        EXPECT_EQ(m_control->QueryInterface(iid, reinterpret_cast<void**>(&found)), S_OK);
        return found;
    }
    void SetEnabled(bool enabled)
    {
        ASSERT_EQ(m_control->put_Enabled(enabled ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
    }
    bool Enabled()
    {
        VARIANT_BOOL enabled = VARIANT_FALSE;
        EXPECT_EQ(m_control->get_Enabled(&enabled), S_OK);
        return enabled != VARIANT_FALSE;
    }
    SIZEL Extent()
    {
        SIZEL extent = {};
        EXPECT_EQ(Query<IOleObject>(IID_IOleObject)->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
        return extent;
    }
};

CComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes)
{
    CComPtr<IStream> stream;
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    if (!bytes.empty()) {
        EXPECT_EQ(stream->Write(bytes.data(), ULONG(bytes.size()), nullptr), S_OK);
    }
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return stream;
}

std::vector<BYTE> Record(DWORD version, LONG x, LONG y, DWORD enabled)
{
    const DWORD fields[] = {version, DWORD(x), DWORD(y), enabled};
    std::vector<BYTE> bytes(sizeof fields);
    memcpy(bytes.data(), fields, sizeof fields);
    return bytes;
}

TEST_F(PevlinPersistence, StreamKeepsEnabledAndExtentAndSavingClearsTheDirtyMark)
{
    CComPtr<IPersistStreamInit> persist = Query<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(persist->InitNew(), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    const SIZEL templateExtent = Extent();
    EXPECT_GT(templateExtent.cx, 0);

    SetEnabled(true);
    SIZEL resized = {templateExtent.cx + 1000, templateExtent.cy + 500};
    ASSERT_EQ(Query<IOleObject>(IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &resized), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);

    CComPtr<IStream> stream = StreamOf({});
    ASSERT_EQ(persist->Save(stream, FALSE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ULARGE_INTEGER end = {};
    LARGE_INTEGER none = {};
    ASSERT_EQ(stream->Seek(none, STREAM_SEEK_CUR, &end), S_OK);
    ULARGE_INTEGER announced = {};
    ASSERT_EQ(persist->GetSizeMax(&announced), S_OK);
    EXPECT_EQ(end.QuadPart, announced.QuadPart);
    ASSERT_EQ(persist->Save(StreamOf({}), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    // A second control loads what the first saved.
    Cpevlin* other = new Cpevlin;
    other->AddRef();
    CComPtr<IPersistStreamInit> otherPersist;
    ASSERT_EQ(other->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&otherPersist)), S_OK);
    stream->Seek(none, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(otherPersist->Load(stream), S_OK);
    VARIANT_BOOL enabled = VARIANT_FALSE;
    EXPECT_EQ(other->get_Enabled(&enabled), S_OK);
    EXPECT_EQ(enabled, VARIANT_TRUE);
    CComPtr<IOleObject> otherObject;
    ASSERT_EQ(other->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&otherObject)), S_OK);
    SIZEL loaded = {};
    ASSERT_EQ(otherObject->GetExtent(DVASPECT_CONTENT, &loaded), S_OK);
    EXPECT_EQ(loaded.cx, resized.cx);
    EXPECT_EQ(loaded.cy, resized.cy);
    EXPECT_EQ(otherPersist->IsDirty(), S_FALSE);
    otherObject.Release();
    otherPersist.Release();
    other->Release();

    // A new start puts back the control's own defaults.
    ASSERT_EQ(persist->InitNew(), S_OK);
    EXPECT_FALSE(Enabled());
    EXPECT_EQ(Extent().cx, templateExtent.cx);
    EXPECT_EQ(Extent().cy, templateExtent.cy);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    EXPECT_EQ(persist->Load(nullptr), E_POINTER);
    EXPECT_EQ(persist->Save(nullptr, TRUE), E_POINTER);
    EXPECT_EQ(persist->GetSizeMax(nullptr), E_POINTER);
}

TEST_F(PevlinPersistence, RecordThatIsNotTheControlsIsRefusedAndChangesNothing)
{
    const SIZEL before = Extent();
    SetEnabled(true);
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
        HRESULT expected;
    };
    std::vector<BYTE> shortRecord = Record(1, 3000, 2000, 0);
    shortRecord.resize(shortRecord.size() - 1);
    const Case cases[] = {
        {"empty stream", {}, STG_E_READFAULT},
        {"cut short", shortRecord, STG_E_READFAULT},
        {"other version", Record(2, 3000, 2000, 0), E_FAIL},
        {"enabled neither 0 nor 1", Record(1, 3000, 2000, 7), E_FAIL},
    };
    CComPtr<IPersistStreamInit> persist = Query<IPersistStreamInit>(IID_IPersistStreamInit);
    for (const Case& c : cases) {
        EXPECT_EQ(persist->Load(StreamOf(c.bytes)), c.expected) << c.what;
        EXPECT_TRUE(Enabled()) << c.what;
        EXPECT_EQ(Extent().cx, before.cx) << c.what;
        EXPECT_EQ(Extent().cy, before.cy) << c.what;
        EXPECT_EQ(persist->IsDirty(), S_OK) << c.what;
    }
    EXPECT_EQ(persist->Load(StreamOf(Record(1, 3000, 2000, 0))), S_OK);
    EXPECT_FALSE(Enabled());
    EXPECT_EQ(Extent().cx, 3000);
}

CComPtr<IStorage> MemoryStorage()
{
    CComPtr<ILockBytes> bytes;
    EXPECT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
    CComPtr<IStorage> storage;
    EXPECT_EQ(StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage),
              S_OK);
    return storage;
}

TEST_F(PevlinPersistence, StorageKeepsTheRecordInItsContentsStream)
{
    CComPtr<IPersistStorage> persist = Query<IPersistStorage>(IID_IPersistStorage);
    CComPtr<IStorage> storage = MemoryStorage();
    ASSERT_NE(storage, nullptr);
    ASSERT_EQ(persist->InitNew(storage), S_OK);
    // Nothing saved yet: a storage without the record is refused and changes nothing.
    SetEnabled(true);
    EXPECT_EQ(persist->Load(storage), STG_E_FILENOTFOUND);
    EXPECT_TRUE(Enabled());

    ASSERT_EQ(persist->Save(storage, TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ASSERT_EQ(persist->SaveCompleted(nullptr), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    CComPtr<IStream> contents;
    ASSERT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &contents), S_OK);
    contents.Release();

    SetEnabled(false);
    ASSERT_EQ(persist->Load(storage), S_OK);
    EXPECT_TRUE(Enabled());
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    EXPECT_EQ(persist->Load(nullptr), E_POINTER);
    EXPECT_EQ(persist->InitNew(nullptr), E_POINTER);
}

// An outer object that aggregates the control: it owns the inner unknown and hands every
// interface it does not have to it.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        if (!inner) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return inner->QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }

    LONG refs = 1;
    IUnknown* inner = nullptr;
};

class AggregatedControl : public ComApartment {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(RunRegsvr32("/s"), 0u); }
    static void TearDownTestSuite() { EXPECT_EQ(RunRegsvr32("/u /s"), 0u); }
};

TEST_F(AggregatedControl, SharesTheOuterIdentityAndCountAndIsDeletedByTheInnerUnknown)
{
    Outer outer;
    IDispatch* refused = nullptr;
    EXPECT_EQ(CoCreateInstance(kClsidPevlin, &outer, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&refused)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(refused, nullptr);
    ASSERT_EQ(CoCreateInstance(kClsidPevlin, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    ASSERT_NE(outer.inner, nullptr);
    EXPECT_EQ(outer.refs, 1) << "making the part takes no reference on the whole";

    IDispatch* control = nullptr;
    ASSERT_EQ(outer.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control)), S_OK);
    EXPECT_EQ(outer.refs, 2);
    IUnknown* identity = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    identity->Release();
    // The inner unknown answers for itself, never for the whole.
    IUnknown* innerIdentity = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&innerIdentity)), S_OK);
    EXPECT_EQ(innerIdentity, outer.inner);
    innerIdentity->Release();

    // Script reaches the part's members through the whole.
    CComVariant on(true);
    EXPECT_EQ(CallByName(control, L"Enabled", DISPATCH_PROPERTYPUT, &on), S_OK);
    CComVariant read;
    ASSERT_EQ(CallByName(control, L"Enabled", DISPATCH_PROPERTYGET, nullptr, &read), S_OK);
    EXPECT_EQ(read.boolVal, VARIANT_TRUE);
    IUnknown* safety = nullptr;
    EXPECT_EQ(control->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety)), S_OK);
    if (safety)
        safety->Release();
    control->Release();
    EXPECT_EQ(outer.refs, 1);

    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    auto canUnload = reinterpret_cast<CanUnloadNow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("AxPevlin.dll"), "DllCanUnloadNow")));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE);
    EXPECT_EQ(outer.inner->Release(), 0u);
    outer.inner = nullptr;
    EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
