#include <gtest/gtest.h>

#include <map>
#include <string>

#include "CAtlException.h"
#include "CAtlMap.h"
#include "CComPtr.h"
#include "CHandle.h"
#include "CSimpleArray.h"
#include "CStringT.h"

namespace {

TEST(CAtlMap, LaterSetReplacesAndKeysAreExactBytes)
{
    CAtlMap<CString, CString> map;
    map.SetAt("A", "1");
    map.SetAt("A", "2");
    map.SetAt("a", "3");
    map.SetAt("A ", "4");
    EXPECT_EQ(map.GetCount(), 3u);
    CString value;
    ASSERT_TRUE(map.Lookup("A", value));
    EXPECT_EQ(value, "2");
    ASSERT_TRUE(map.Lookup("A ", value));
    EXPECT_EQ(value, "4");
    EXPECT_FALSE(map.Lookup("B", value));
}

TEST(CAtlMap, IterationVisitsEveryEntryOnceAcrossManyBuckets)
{
    CAtlMap<CString, CString> map;
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 500; ++i) {
        CString key, value;
        key.Format("KEY_%d", i);
        value.Format("%d", i * 7);
        map.SetAt(key, value);
        expected[key.GetString()] = value.GetString();
    }
    std::map<std::string, std::string> seen;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        CString key, value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(seen.emplace(key.GetString(), value.GetString()).second);
    }
    EXPECT_EQ(seen, expected);
}

TEST(CAtlMap, RemoveKeyAndRemoveAll)
{
    CAtlMap<CString, CString> map;
    map.SetAt("x", "1");
    map.SetAt("y", "2");
    EXPECT_TRUE(map.RemoveKey("x"));
    EXPECT_FALSE(map.RemoveKey("x"));
    EXPECT_EQ(map.GetCount(), 1u);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    map.SetAt("z", "3");
    EXPECT_EQ(map.GetCount(), 1u);
}

TEST(CSimpleArray, FindRemoveKeepOrder)
{
    CSimpleArray<CString> items;
    for (const char* text : {"a", "b", "c", "b"})
        ASSERT_TRUE(items.Add(text));
    EXPECT_EQ(items.GetSize(), 4);
    EXPECT_EQ(items.Find("b"), 1);
    EXPECT_TRUE(items.Remove("b"));
    EXPECT_EQ(items.GetSize(), 3);
    EXPECT_EQ(items[0], "a");
    EXPECT_EQ(items[1], "c");
    EXPECT_EQ(items[2], "b");
    EXPECT_FALSE(items.RemoveAt(3));
    EXPECT_FALSE(items.SetAtIndex(-1, "x"));
    EXPECT_EQ(items.Find("z"), -1);
}

TEST(CSimpleArray, GrowthMovesStringsIntact)
{
    CSimpleArray<CString> items;
    for (int i = 0; i < 1000; ++i) {
        CString text;
        text.Format("item %d", i);
        ASSERT_TRUE(items.Add(text));
    }
    EXPECT_EQ(items[999], "item 999");
    EXPECT_EQ(items[0], "item 0");
    CSimpleArray<CString> copy = items;
    items.RemoveAll();
    EXPECT_EQ(copy.GetSize(), 1000);
    EXPECT_EQ(copy[500], "item 500");
}

// An element that, like the owners, answers operator& itself, and knows whether it is
// alive: a copy from a destroyed or freed element is recorded.
struct Probe {
    static int addressCalls;
    static int deadReads;
    static int live;
    static int throwOnCopy;  // the copy that throws, counting down; 0 never

    explicit Probe(int value) : value(value) { ++live; }
    Probe(const Probe& other) : value(other.value)
    {
        if (other.alive != kAlive)
            ++deadReads;
        if (throwOnCopy && --throwOnCopy == 0)
            throw 7;
        ++live;
    }
    Probe(Probe&& other) noexcept : value(other.value) { ++live; }
    Probe& operator=(const Probe& other) = default;
    Probe& operator=(Probe&& other) noexcept = default;
    ~Probe()
    {
        alive = 0;
        --live;
    }
    Probe* operator&()
    {
        ++addressCalls;
        return this;
    }
    bool operator==(const Probe& other) const { return value == other.value; }

    static constexpr unsigned kAlive = 0xA11CEu;
    unsigned alive = kAlive;
    int value;
};
int Probe::addressCalls = 0;
int Probe::deadReads = 0;
int Probe::live = 0;
int Probe::throwOnCopy = 0;

class ProbeArray : public ::testing::Test {
protected:
    void SetUp() override { Probe::addressCalls = Probe::deadReads = Probe::live = Probe::throwOnCopy = 0; }
    void TearDown() override { EXPECT_EQ(Probe::live, 0) << "elements leaked or destroyed twice"; }
};

TEST_F(ProbeArray, ElementsAreBuiltWithoutCallingTheirOwnAddressOperator)
{
    CSimpleArray<Probe> items;
    for (int i = 0; i < 9; ++i)
        items.Add(Probe(i));
    CSimpleArray<Probe> copy(items);
    copy = items;
    copy.RemoveAt(2);
    EXPECT_EQ(Probe::addressCalls, 0);
    EXPECT_EQ(copy.GetSize(), 8);
    EXPECT_EQ(copy[2].value, 3);
}

TEST_F(ProbeArray, AddingAnOwnElementWhileGrowingCopiesItBeforeTheOldStorageGoes)
{
    CSimpleArray<Probe> items;
    for (int size = 1; size <= 8; size *= 2) {
        while (items.GetSize() < size)
            items.Add(Probe(items.GetSize()));
        // Full now: this Add moves everything to new storage.
        items.Add(items[0]);
        EXPECT_EQ(items[items.GetSize() - 1].value, 0);
    }
    EXPECT_EQ(Probe::deadReads, 0);
}

TEST_F(ProbeArray, CopyThatThrowsPartWayGivesBackWhatItCopied)
{
    CSimpleArray<Probe> items;
    for (int i = 0; i < 5; ++i)
        items.Add(Probe(i));
    Probe::throwOnCopy = 4;
    EXPECT_THROW(CSimpleArray<Probe> copy(items), int);
    EXPECT_EQ(Probe::live, 5);

    CSimpleArray<Probe> target;
    target.Add(Probe(9));
    Probe::throwOnCopy = 2;
    EXPECT_THROW(target = items, int);
    EXPECT_EQ(target.GetSize(), 0);
    EXPECT_EQ(Probe::live, 5);
}

// So large that no 32-bit process finds room for one.
struct Huge {
    char bytes[0x7FFF0000];
};

// Stands for a Huge that is never read; volatile, so the compiler does not judge its size.
alignas(Huge) char g_neverStorage[16];
void* volatile g_never = g_neverStorage;

TEST(CSimpleArray, ElementThatCannotFitThrowsOutOfMemoryAndChangesNothing)
{
    CSimpleArray<Huge> items;
    try {
        // Never read: the storage for it cannot be had.
        items.Add(*static_cast<const Huge*>(g_never));
        ADD_FAILURE() << "nothing thrown";
    } catch (const CAtlException& e) {
        EXPECT_EQ(HRESULT(e), E_OUTOFMEMORY);
    }
    EXPECT_EQ(items.GetSize(), 0);
}

class HeldUnknown : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    long refs = 0;
};

TEST(CSimpleArray, HoldsOwnersOfInterfacesAndHandles)
{
    HeldUnknown object;
    {
        CSimpleArray<CComPtr<IUnknown>> pointers;
        for (int i = 0; i < 5; ++i)
            pointers.Add(CComPtr<IUnknown>(&object));
        EXPECT_EQ(object.refs, 5);
        pointers.RemoveAt(0);
        EXPECT_EQ(object.refs, 4);
        CSimpleArray<CComPtr<IUnknown>> copy(pointers);
        EXPECT_EQ(object.refs, 8);
    }
    EXPECT_EQ(object.refs, 0);

    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD flags = 0;
    {
        CSimpleArray<CHandle> handles;
        CHandle first(event);
        handles.Add(std::move(first));
        handles.Add(CHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr)));
        EXPECT_TRUE(GetHandleInformation(event, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(event, &flags));
}

}  // namespace
