#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "CWBDialog.h"
#include "CWebBrowserEventSink.h"

#include <ole2.h>
#include <exdisp.h>

namespace {

class EventPage : public CWBDialog {
public:
    EventPage() : CWBDialog(900, 200) {}

    void __stdcall BeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                   VARIANT_BOOL* cancel) override
    {
        events.push_back("before " + Text(url));
        if (cancel)
            *cancel = VARIANT_TRUE;
    }
    void __stdcall DocumentComplete(IDispatch*, VARIANT* url) override { events.push_back("complete " + Text(url)); }
    void __stdcall CommandStateChange(long command, VARIANT_BOOL enable) override
    {
        events.push_back("command " + std::to_string(command) + (enable ? " on" : " off"));
    }
    void __stdcall NavigateError(IDispatch*, VARIANT* url, VARIANT*, VARIANT* status, VARIANT_BOOL*) override
    {
        if (status && status->vt == VT_I4 && status->lVal == 404)
            throw std::runtime_error("a page handler failed");
        events.push_back("error " + Text(url));
    }
    void __stdcall NewWindow3(IDispatch**, VARIANT_BOOL* cancel, DWORD flags, BSTR, BSTR url) override
    {
        events.push_back("new window " + std::to_string(flags) + " " + Narrow(url));
        if (cancel)
            *cancel = VARIANT_TRUE;
    }

    static std::string Narrow(const wchar_t* text)
    {
        std::string out;
        for (; text && *text; ++text)
            out += char(*text);
        return out;
    }
    static std::string Text(VARIANT* value) { return value && value->vt == VT_BSTR ? Narrow(value->bstrVal) : "?"; }

    std::vector<std::string> events;
};

// An event source as a browser offers it: a container with one connection point.
class FakeSource : public IConnectionPointContainer, public IConnectionPoint {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IConnectionPointContainer) {
            *object = static_cast<IConnectionPointContainer*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        if (iid != DIID_KavoWebBrowserEvents2) {
            *point = nullptr;
            return E_NOINTERFACE;
        }
        *point = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override
    {
        sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&this->sink));
        *cookie = 42;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        unadvised = cookie;
        sink = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // Fires an event with its arguments in the order of the event's signature.
    HRESULT Fire(DISPID id, std::vector<VARIANT> arguments)
    {
        std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
        DISPPARAMS params = {reversed.data(), nullptr, UINT(reversed.size()), 0};
        return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }

    long refs = 0;
    IDispatch* sink = nullptr;
    DWORD unadvised = 0;
};

VARIANT Bstr(BSTR text)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = text;
    return value;
}

VARIANT ByRef(VARIANT* target)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_VARIANT | VT_BYREF;
    value.pvarVal = target;
    return value;
}

VARIANT ByRefBool(VARIANT_BOOL* target)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL | VT_BYREF;
    value.pboolVal = target;
    return value;
}

VARIANT Long(long number)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = number;
    return value;
}

VARIANT Empty()
{
    VARIANT value;
    VariantInit(&value);
    return value;
}

TEST(WebBrowserEventSink, EventsReachThePageByDispatchId)
{
    EventPage page;
    FakeSource source;
    {
        CWebBrowserEventSink sink(&page);
        ASSERT_EQ(sink.Advise(static_cast<IConnectionPointContainer*>(&source)), S_OK);
        ASSERT_NE(source.sink, nullptr);

        BSTR url = SysAllocString(L"about:blank");
        VARIANT urlValue = Bstr(url);
        VARIANT empty = Empty();
        VARIANT_BOOL cancel = VARIANT_FALSE;
        EXPECT_EQ(source.Fire(DISPID_KAVO_BEFORENAVIGATE2,
                              {Empty(), ByRef(&urlValue), ByRef(&empty), ByRef(&empty), ByRef(&empty), ByRef(&empty),
                               ByRefBool(&cancel)}),
                  S_OK);
        EXPECT_EQ(cancel, VARIANT_TRUE) << "the page's answer goes back to the browser";
        EXPECT_EQ(source.Fire(DISPID_KAVO_DOCUMENTCOMPLETE, {Empty(), ByRef(&urlValue)}), S_OK);
        EXPECT_EQ(source.Fire(DISPID_KAVO_COMMANDSTATECHANGE, {Long(2), Long(-1)}), S_OK);
        VARIANT status = Long(500);
        EXPECT_EQ(source.Fire(DISPID_KAVO_NAVIGATEERROR,
                              {Empty(), ByRef(&urlValue), ByRef(&empty), ByRef(&status), ByRefBool(&cancel)}),
                  S_OK);
        BSTR target = SysAllocString(L"http://127.0.0.1/x");
        cancel = VARIANT_FALSE;
        EXPECT_EQ(source.Fire(DISPID_KAVO_NEWWINDOW3, {Empty(), ByRefBool(&cancel), Long(6), Bstr(url), Bstr(target)}),
                  S_OK);
        EXPECT_EQ(cancel, VARIANT_TRUE);

        const std::vector<std::string> expected = {"before about:blank", "complete about:blank", "command 2 on",
                                                   "error about:blank", "new window 6 http://127.0.0.1/x"};
        EXPECT_EQ(page.events, expected);

        // Nothing a page throws leaves the sink; unknown events and wrong counts are refused.
        status.lVal = 404;
        EXPECT_EQ(source.Fire(DISPID_KAVO_NAVIGATEERROR,
                              {Empty(), ByRef(&urlValue), ByRef(&empty), ByRef(&status), ByRefBool(&cancel)}),
                  E_FAIL);
        EXPECT_EQ(source.Fire(999, {}), DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(source.Fire(DISPID_KAVO_DOCUMENTCOMPLETE, {Empty()}), DISP_E_BADPARAMCOUNT);
        SysFreeString(url);
        SysFreeString(target);
    }
    EXPECT_EQ(source.unadvised, 42u);
    EXPECT_EQ(source.refs, 0);
}

TEST(WebBrowserEventSink, SourceWithoutBrowserEventsIsNotAdvised)
{
    class NoEvents : public IUnknown {
    public:
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
        {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
    } unknown;
    EventPage page;
    CWebBrowserEventSink sink(&page);
    EXPECT_EQ(sink.Advise(&unknown), E_NOINTERFACE);
    EXPECT_FALSE(sink.IsAdvised());
    EXPECT_EQ(sink.Advise(nullptr), E_POINTER);
}

}  // namespace

namespace {

class BrowserPage : public CWBDialog {
public:
    BrowserPage() : CWBDialog(901, 200) {}
    void __stdcall BeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                   VARIANT_BOOL*) override
    {
        events.push_back("before " + EventPage::Text(url));
    }
    void __stdcall NavigateError(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT_BOOL*) override
    {
        events.push_back("error " + EventPage::Text(url));
    }
    std::vector<std::string> events;
};

TEST(BrowserSetUp, PageGetsItsBrowserAndItsEventsWhenComIsThere)
{
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    AtlAxWinInit();
    HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  nullptr, nullptr);
    {
        BrowserPage page;
        ASSERT_NE(page.Create(parent), nullptr);
        ASSERT_TRUE(page.m_browser != nullptr);
        EXPECT_TRUE(page.m_sink.IsAdvised());
        VARIANT_BOOL dropTarget = VARIANT_TRUE;
        page.m_browser->get_RegisterAsDropTarget(&dropTarget);
        EXPECT_EQ(dropTarget, VARIANT_FALSE);
        // The first navigation, to about:blank, reports back through the sink.
        for (int i = 0; i < 100 && page.events.empty(); ++i) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            Sleep(20);
        }
        ASSERT_FALSE(page.events.empty());
        EXPECT_NE(page.events.front().find("about:blank"), std::string::npos) << page.events.front();
        page.DestroyWindow();
        EXPECT_FALSE(page.m_sink.IsAdvised());
    }
    DestroyWindow(parent);
    OleUninitialize();
}

}  // namespace
