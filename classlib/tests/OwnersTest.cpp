#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "CA2W.h"
#include "CAtlException.h"
#include "CComBSTR.h"
#include "CComPtr.h"
#include "CComVariant.h"
#include "CGdiObjects.h"
#include "CHandle.h"
#include "CMappedView.h"
#include "CScopeExit.h"
#include "CScopedComInit.h"
#include "CRegKey.h"

namespace {

class CountedUnknown : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    long refs = 0;
};

HRESULT GiveOut(IUnknown* object, IUnknown** out)
{
    *out = object;
    object->AddRef();
    return S_OK;
}

TEST(CComPtr, AddressOfReleasesTheOldPointerBeforeItIsOverwritten)
{
    CountedUnknown first, second;
    {
        CComPtr<IUnknown> p(&first);
        EXPECT_EQ(first.refs, 1);
        GiveOut(&second, &p);
        EXPECT_EQ(first.refs, 0);
        EXPECT_EQ(second.refs, 1);
        CComPtr<IUnknown> copy = p;
        EXPECT_EQ(second.refs, 2);
    }
    EXPECT_EQ(second.refs, 0);
}

TEST(CComPtr, QIPtrHoldsNothingWhenTheInterfaceIsMissing)
{
    CountedUnknown object;
    {
        CComQIPtr<IDispatch> dispatch(static_cast<IUnknown*>(&object));
        EXPECT_TRUE(!dispatch);
        CComPtr<IUnknown> unknown(&object);
        EXPECT_EQ(object.refs, 1);
    }
    EXPECT_EQ(object.refs, 0);
}

TEST(CHandle, AddressOfClosesTheOldHandle)
{
    CHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(bool(event));
    HANDLE old = event;
    HANDLE* slot = &event;
    EXPECT_EQ(*slot, nullptr);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(old, &flags));
    *slot = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(bool(event));
    CHandle moved(std::move(event));
    EXPECT_FALSE(bool(event));
    EXPECT_TRUE(bool(moved));
}

TEST(CComBSTR, CopiesAreIndependentAndAddressOfFrees)
{
    CComBSTR text(L"abc");
    CComBSTR copy = text;
    EXPECT_NE(static_cast<BSTR>(copy), static_cast<BSTR>(text));
    EXPECT_EQ(copy.Length(), 3u);
    EXPECT_EQ(copy.Append(L"de"), S_OK);
    EXPECT_STREQ(copy, L"abcde");
    EXPECT_STREQ(text, L"abc");
    BSTR* slot = &text;
    EXPECT_EQ(*slot, nullptr);
    CComBSTR narrow("表");
    EXPECT_STREQ(narrow, L"\x8868");
}

TEST(CComVariant, HoldsAndConvertsValues)
{
    CComVariant number(42);
    EXPECT_EQ(number.vt, VT_I4);
    EXPECT_EQ(number.ChangeType(VT_BSTR), S_OK);
    EXPECT_STREQ(number.bstrVal, L"42");
    CComVariant copy = number;
    EXPECT_EQ(copy.vt, VT_BSTR);
    EXPECT_NE(copy.bstrVal, number.bstrVal);
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(copy.Detach(&out), S_OK);
    EXPECT_EQ(copy.vt, VT_EMPTY);
    EXPECT_STREQ(out.bstrVal, L"42");
    VariantClear(&out);
}

TEST(TextConversion, CodePage932RoundTrip)
{
    const char text[] = "KAVO申込・設定ツール";
    CA2W wide(text);
    EXPECT_STREQ(wide, L"KAVO\x7533\x8FBC\x30FB\x8A2D\x5B9A\x30C4\x30FC\x30EB");
    CW2A back(wide);
    EXPECT_STREQ(back, text);
    EXPECT_STREQ(CA2W(nullptr), L"");
}

TEST(AtlThrow, CarriesTheHresult)
{
    try {
        AtlThrow(E_OUTOFMEMORY);
    } catch (const CAtlException& e) {
        EXPECT_EQ(HRESULT(e), E_OUTOFMEMORY);
        return;
    }
    ADD_FAILURE() << "nothing thrown";
}

class RegKeyTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KavoClasslibTest");
        HKEY machine = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &machine) == ERROR_SUCCESS) {
            RegDeleteTreeA(machine, "KavoClasslibTest");
            RegCloseKey(machine);
        }
    }
};

TEST_F(RegKeyTest, StringAndNumberValuesRoundTrip)
{
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\KavoClasslibTest\\Sub"), ERROR_SUCCESS);
    EXPECT_EQ(key.SetStringValue("Text", "表示"), ERROR_SUCCESS);
    EXPECT_EQ(key.SetDWORDValue("Number", 7), ERROR_SUCCESS);

    CString text;
    EXPECT_EQ(key.QueryStringValue("Text", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "表示");
    DWORD number = 0;
    EXPECT_EQ(key.QueryDWORDValue("Number", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(key.QueryDWORDValue("Text", number), ERROR_INVALID_DATA);

    char small[3];
    ULONG size = sizeof(small);
    EXPECT_EQ(key.QueryStringValue("Text", small, &size), ERROR_MORE_DATA);

    EXPECT_EQ(key.DeleteValue("Text"), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryStringValue("Text", text), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegKeyTest, ViewFlagKeepsThe64BitViewForDeletion)
{
    CRegKey machine;
    ASSERT_EQ(machine.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_ALL_ACCESS | KEY_WOW64_64KEY), ERROR_SUCCESS);
    CRegKey sub;
    ASSERT_EQ(sub.Create(machine, "KavoClasslibTest\\Deep\\Deeper", KEY_ALL_ACCESS | KEY_WOW64_64KEY), ERROR_SUCCESS);
    sub.Close();

    // The 32-bit program's own view does not see the key.
    CRegKey redirected;
    EXPECT_NE(redirected.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavoClasslibTest", KEY_READ), ERROR_SUCCESS);

    EXPECT_EQ(machine.RecurseDeleteKey("KavoClasslibTest"), ERROR_SUCCESS);
    CRegKey gone;
    EXPECT_NE(gone.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavoClasslibTest", KEY_READ | KEY_WOW64_64KEY), ERROR_SUCCESS);
}

// Counts like a COM object but never frees itself: "released" marks the moment a real
// object would be gone, and any query after that is recorded.
class OnlyHeldUnknown : public ISequentialStream {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (freed)
            ++queriesAfterFree;
        if (iid != IID_IUnknown && iid != IID_ISequentialStream) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<ISequentialStream*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--refs == 0)
            freed = true;
        return ULONG(refs);
    }
    HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    long refs = 0;
    bool freed = false;
    int queriesAfterFree = 0;
};

TEST(CComPtr, QIPtrQueriesTheNewObjectBeforeReleasingTheOldOne)
{
    OnlyHeldUnknown object;
    {
        CComQIPtr<ISequentialStream> stream(static_cast<IUnknown*>(&object));
        ASSERT_EQ(object.refs, 1);
        // The only reference is the one being replaced.
        stream = static_cast<IUnknown*>(stream.p);
        EXPECT_EQ(object.queriesAfterFree, 0);
        EXPECT_EQ(stream.p, &object);
        EXPECT_EQ(object.refs, 1);
    }
    EXPECT_EQ(object.refs, 0);
}

// A handle kind made for the test: its close call records what it closed.
std::vector<int> g_closed;
void CloseTestHandle(int h)
{
    g_closed.push_back(h);
}
using CTestHandle = CHandleT<int, &CloseTestHandle>;

TEST(CHandleT, ClosesExactlyOnceWhateverPathTheHandleTakes)
{
    g_closed.clear();
    {
        CTestHandle none;
        EXPECT_FALSE(bool(none));
        CTestHandle first(1);
        CTestHandle moved(std::move(first));
        EXPECT_FALSE(bool(first));
        EXPECT_EQ(moved.Get(), 1);
        CTestHandle second(2);
        second = std::move(moved);  // closes 2, takes 1
        EXPECT_EQ(g_closed, std::vector<int>({2}));
        int* slot = &second;  // closes 1
        *slot = 3;
        CTestHandle kept(4);
        EXPECT_EQ(kept.Detach(), 4);
        kept.Attach(5);
        kept.Attach(6);  // closes 5
        kept.Close();    // closes 6
        kept.Close();
    }
    // 3 at the end of the scope; 4 was detached and is nobody's.
    EXPECT_EQ(g_closed, std::vector<int>({2, 1, 5, 6, 3}));
}

TEST(CHandleT, EachKindGivesItsHandleBackToTheSystem)
{
    CHandle file(CreateFileA("NUL", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(bool(file));
    CHandle failed(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(bool(failed));

    CHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
    ASSERT_TRUE(bool(mapping));
    void* address = nullptr;
    {
        CMappedView view(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
        ASSERT_TRUE(bool(view));
        address = view.Get();
        MEMORY_BASIC_INFORMATION info = {};
        VirtualQuery(address, &info, sizeof info);
        EXPECT_EQ(info.State, DWORD(MEM_COMMIT));
    }
    MEMORY_BASIC_INFORMATION info = {};
    VirtualQuery(address, &info, sizeof info);
    EXPECT_EQ(info.State, DWORD(MEM_FREE));

    HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
    {
        CBrush brush(raw);
        LOGBRUSH log = {};
        EXPECT_NE(GetObjectA(brush, sizeof log, &log), 0);
    }
    LOGBRUSH log = {};
    EXPECT_EQ(GetObjectA(raw, sizeof log, &log), 0);
}

TEST(CScopeExit, RunsOnEveryWayOutUnlessDismissed)
{
    int runs = 0;
    {
        auto undo = MakeScopeExit([&] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    try {
        auto undo = MakeScopeExit([&] { ++runs; });
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(runs, 2);
    {
        auto undo = MakeScopeExit([&] { ++runs; });
        undo.Dismiss();
    }
    EXPECT_EQ(runs, 2);
}

// Whether the calling thread is still initialised: a new initialisation only adds a count.
bool ComStillInitialised(DWORD model)
{
    const HRESULT hr = CoInitializeEx(nullptr, model);
    if (SUCCEEDED(hr))
        CoUninitialize();
    return hr == S_FALSE || hr == RPC_E_CHANGED_MODE;
}

TEST(CScopedComInit, UndoesOnlyAnInitialisationThatSucceeded)
{
    std::thread([] {
        // S_FALSE still counts and is undone: afterwards the thread is not initialised.
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        {
            CScopedCoInit again(COINIT_APARTMENTTHREADED);
            EXPECT_EQ(again.Result(), S_FALSE);
        }
        CoUninitialize();
        EXPECT_FALSE(ComStillInitialised(COINIT_APARTMENTTHREADED));

        // Another apartment's mode refuses, and the owner's initialisation is left alone.
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            CScopedCoInit refused(COINIT_APARTMENTTHREADED);
            EXPECT_EQ(refused.Result(), RPC_E_CHANGED_MODE);
            EXPECT_FALSE(refused.Succeeded());
        }
        EXPECT_TRUE(ComStillInitialised(COINIT_MULTITHREADED));
        CoUninitialize();

        {
            CScopedOleInit ole;
            EXPECT_TRUE(ole.Succeeded());
            CScopedOleInit nested;
            EXPECT_EQ(nested.Result(), S_FALSE);
        }
        EXPECT_FALSE(ComStillInitialised(COINIT_APARTMENTTHREADED));
    }).join();
}

}  // namespace
