// The scripted browser as the product's page code reaches it: navigation and its events,
// documents written with InitNew and Load, style sheets, hosting through the project's
// control host, and reference counting.
#include "BrowserTestSupport.h"

#include <mshtmhst.h>

#include <algorithm>
#include <cstdio>

#include "CA2W.h"
#include "CAxHost.h"
#include "CComBSTR.h"
#include "CComObjectImpl.h"
#include "CComVariant.h"
#include "CShortcutkeySuppressor.h"
#include "CWebBrowserEventSink.h"
#include "FakeServer.h"

using scripted::Browser;
using scripted::PumpUntilIdle;
using Strings = std::vector<std::string>;

namespace {

// What a page is given once a navigation's document is there (back: a step to go back to).
Strings Completion(const std::string& url, bool back)
{
    return {std::string("CommandStateChange 2 ") + (back ? "-1" : "0"), "CommandStateChange 1 0",
            "CommandStateChange -1 -1", "DocumentComplete " + url};
}

Strings Joined(Strings first, const Strings& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace

TEST_F(BrowserTest, NavigatingToBlankAsksFirstAndCompletesFromTheMessageLoop)
{
    Open();
    ASSERT_EQ(NavigateToBlank(browser), S_OK);
    // BeforeNavigate2 comes inside the call; the document only once messages are pumped.
    EXPECT_EQ(view.Events(), Strings({"BeforeNavigate2 about:blank"}));
    EXPECT_EQ(page->calls, Strings({"BeforeNavigate2 about:blank 0"}));
    EXPECT_FALSE(view.Idle());
    EXPECT_FALSE(Document());

    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(view.Events(), Strings({"BeforeNavigate2 about:blank", "CommandStateChange -1 1",
                                      "NavigateComplete2 about:blank", "CommandStateChange 2 0",
                                      "CommandStateChange 1 0", "CommandStateChange -1 1",
                                      "DocumentComplete about:blank"}));
    // The product's sink has no NavigateComplete2 handler: the page sees the rest.
    EXPECT_EQ(page->calls, Joined({"BeforeNavigate2 about:blank 0", "CommandStateChange -1 -1"},
                                  Completion("about:blank", false)));
    // The event's browser is the browser object the page holds.
    CComPtr<IDispatch> self;
    browser->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&self));
    for (IDispatch* eventBrowser : page->eventBrowsers)
        EXPECT_EQ(eventBrowser, static_cast<IDispatch*>(self));

    CComPtr<IHTMLDocument2> document = Document();
    ASSERT_TRUE(document);
    CComBSTR url, state;
    EXPECT_EQ(document->get_URL(&url), S_OK);
    EXPECT_EQ(BstrBytes(url), "about:blank");
    EXPECT_EQ(document->get_readyState(&state), S_OK);
    EXPECT_EQ(BstrBytes(state), "complete");
    EXPECT_EQ(view.LocationUrl(), "about:blank");
    EXPECT_EQ(view.Html(), "");
}

TEST_F(BrowserTest, CancelledNavigationLeavesNoDocument)
{
    Open();
    page->cancelNavigation = true;
    NavigateToBlank(browser);
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(view.Events(), Strings({"BeforeNavigate2 about:blank"}));
    EXPECT_FALSE(Document());
}

TEST_F(BrowserTest, LoadedHtmlIsKeptAsWrittenAndCompletesAsBlankOnceMore)
{
    OpenBlank();
    const std::string html = std::string(kShiftJisMetaLine) + "<p>表示</p>";
    page->WriteHtmlWithCharset(0, "<p>表示</p>");
    EXPECT_EQ(view.Html(), html);
    EXPECT_EQ(view.WrittenDocuments(), Strings({html}));
    EXPECT_TRUE(page->calls.empty());

    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(page->calls, Strings({"CommandStateChange -1 -1", "DocumentComplete about:blank"}));
    EXPECT_EQ(view.Events().back(), "DocumentComplete about:blank");

    Write("<p>second</p>");
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(view.WrittenDocuments(), Strings({html, "<p>second</p>"}));
    EXPECT_EQ(view.Html(), "<p>second</p>");
}

TEST_F(BrowserTest, StyleSheetTextIsRecordedForTheCurrentDocument)
{
    OpenBlank();
    Write("<p>x</p>");
    CComPtr<IHTMLDocument2> document = Document();
    CComPtr<IHTMLStyleSheet> sheet;
    ASSERT_EQ(document->createStyleSheet(CComBSTR(L"about:blank"), -1, &sheet), S_OK);
    const char css[] = "body {font-family: 'ＭＳ Ｐゴシック'; font-size:12pt}";
    ASSERT_EQ(sheet->put_cssText(CComBSTR(CA2W(css, 932))), S_OK);
    EXPECT_EQ(view.StyleSheets(), Strings({css}));
    CComBSTR back;
    EXPECT_EQ(sheet->get_cssText(&back), S_OK);
    EXPECT_EQ(BstrBytes(back), css);

    // A new document starts without sheets.
    NavigateToBlank(browser);
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_TRUE(view.StyleSheets().empty());
}

TEST_F(BrowserTest, NewWindowRequestAsksNewWindow3Only)
{
    OpenBlank();
    CComVariant url(L"http://127.0.0.1:1/terms.html");
    CComVariant flags(1L);
    ASSERT_EQ(browser->Navigate2(&url, &flags, nullptr, nullptr, nullptr), S_OK);
    // Asked for by page code, not by a click of the user's: no NWMF flag.
    EXPECT_EQ(page->calls, Strings({"NewWindow3 http://127.0.0.1:1/terms.html from about:blank flags 0"}));
    EXPECT_TRUE(view.Idle());
    EXPECT_EQ(view.Events().back(), "NewWindow3 http://127.0.0.1:1/terms.html");
}

class BrowserFetchTest : public BrowserTest {
protected:
    void SetUp() override
    {
        BrowserTest::SetUp();
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr);
        ASSERT_TRUE(server->Reset());
    }

    void Navigate(const std::string& url)
    {
        CComVariant address(CA2W(url.c_str(), 932));
        ASSERT_EQ(browser->Navigate2(&address, nullptr, nullptr, nullptr, nullptr), S_OK);
        ASSERT_TRUE(PumpUntilIdle(20000));
    }

    FakeServer* server = nullptr;
};

TEST_F(BrowserFetchTest, LoopbackPageBecomesTheDocumentWithItsBytes)
{
    OpenBlank();
    const std::string body = "<html><body>利用規約 <a href=\"x\">x</a></body></html>";
    ASSERT_TRUE(server->Route("/terms.html", body));
    const std::string url = server->Url("/terms.html");
    Navigate(url);
    EXPECT_EQ(page->calls, Joined({"BeforeNavigate2 " + url + " 0", "CommandStateChange -1 -1"}, Completion(url, true)));
    EXPECT_EQ(view.Html(), body);
    EXPECT_EQ(view.LocationUrl(), url);
    EXPECT_EQ(server->Hits("/terms.html"), 1);
}

TEST_F(BrowserFetchTest, FailedNavigationReportsItsStatusAndCompletesUnlessCancelled)
{
    OpenBlank();
    ASSERT_TRUE(server->Fail("/missing.html", "404"));
    ASSERT_TRUE(server->Fail("/broken.html", "500"));
    ASSERT_TRUE(server->Fail("/dropped.html", "close", 0));
    const std::string missing = server->Url("/missing.html");
    const std::string refused = "http://127.0.0.1:" + std::to_string(server->ClosedPort()) + "/x.html";
    const struct {
        std::string url;
        bool cancel;
        std::string status;
    } cases[] = {
        {missing, true, "404"},
        {server->Url("/broken.html"), false, "500"},
        {server->Url("/dropped.html"), true, "800C0008"},  // closed without an answer
        {refused, false, "800C0004"},                       // nobody listens
        {"http://192.0.2.1/never.html", true, "800C0005"},  // off the machine: never fetched
        {"ftp://127.0.0.1/x", false, "800C0005"},
    };
    for (const auto& c : cases) {
        page->calls.clear();
        page->cancelErrors = c.cancel;
        Navigate(c.url);
        Strings expected = {"BeforeNavigate2 " + c.url + " 0", "CommandStateChange -1 -1",
                            "NavigateError " + c.url + " " + c.status};
        if (!c.cancel)
            expected = Joined(expected, Completion(c.url, true));
        EXPECT_EQ(page->calls, expected) << c.url;
        EXPECT_EQ(view.Html(), "") << c.url;
    }
    const Strings events = view.Events();
    EXPECT_NE(std::find(events.begin(), events.end(), "NavigateError ftp://127.0.0.1/x 0x800C0005"), events.end());
    EXPECT_EQ(server->Hits("/missing.html"), 1);
}

TEST_F(BrowserFetchTest, RedirectsAreFollowedAsABrowserFollowsThem)
{
    OpenBlank();
    const std::string final = server->Url("/final.html");
    ASSERT_TRUE(server->Route("/final.html", "<p>final</p>"));
    const struct {
        const char* path;
        int status;
        bool post;
        const char* finalMethod;
    } cases[] = {
        {"/r301", 301, true, "GET"}, {"/r302", 302, true, "GET"},   {"/r303", 303, true, "GET"},
        {"/r307", 307, true, "POST"}, {"/r308", 308, true, "POST"}, {"/r302get", 302, false, "GET"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(server->Route(c.path, "", c.status, "{\"Location\": \"/final.html\"}"));
        page->calls.clear();
        const std::string url = server->Url(c.path);
        CComVariant address(CA2W(url.c_str(), 932));
        CComVariant none;
        VARIANT postData;
        VariantInit(&postData);
        if (c.post) {
            postData.vt = VT_ARRAY | VT_UI1;
            postData.parray = SafeArrayCreateVector(VT_UI1, 0, 3);
            void* bytes = nullptr;
            SafeArrayAccessData(postData.parray, &bytes);
            memcpy(bytes, "a=1", 3);
            SafeArrayUnaccessData(postData.parray);
        }
        CComVariant headers(L"Content-Type: application/x-www-form-urlencoded\r\n");
        ASSERT_EQ(browser->Navigate2(&address, &none, &none, &postData, &headers), S_OK);
        VariantClear(&postData);
        ASSERT_TRUE(PumpUntilIdle(20000));
        // No BeforeNavigate2 for the redirect; the final address everywhere after it.
        EXPECT_EQ(page->calls, Joined({"BeforeNavigate2 " + url + " 0", "CommandStateChange -1 -1"},
                                      Completion(final, true)))
            << c.path;
        EXPECT_EQ(view.Events()[view.Events().size() - 5], "NavigateComplete2 " + final) << c.path;
        EXPECT_EQ(view.LocationUrl(), final) << c.path;
        EXPECT_EQ(view.Html(), "<p>final</p>") << c.path;
        EXPECT_EQ(server->Last("/final.html", "method"), c.finalMethod) << c.path;
        EXPECT_EQ(server->Last("/final.html", "body"), std::string(c.finalMethod) == "POST" ? "a=1" : "") << c.path;
    }
}

TEST_F(BrowserFetchTest, RedirectsThatLoopOrLeaveTheMachineFail)
{
    OpenBlank();
    ASSERT_TRUE(server->Route("/loop", "", 302, "{\"Location\": \"/loop\"}"));
    ASSERT_TRUE(server->Route("/away", "", 301, "{\"Location\": \"http://192.0.2.1/x\"}"));
    page->cancelErrors = true;
    Navigate(server->Url("/loop"));
    EXPECT_EQ(page->calls.back(), "NavigateError " + server->Url("/loop") + " 800C0014");
    EXPECT_EQ(server->Hits("/loop"), 21);
    page->calls.clear();
    Navigate(server->Url("/away"));
    EXPECT_EQ(page->calls.back(), "NavigateError http://192.0.2.1/x 800C0005");
}

TEST_F(BrowserFetchTest, HttpsReachesTheTestServerWithItsCertificateOnly)
{
    OpenBlank();
    ASSERT_GT(server->TlsPort(), 0);
    ASSERT_TRUE(server->Route("/secure.html", "<p>secure</p>"));
    const std::string url = server->TlsUrl("/secure.html");
    ASSERT_EQ(url.compare(0, 8, "https://"), 0);
    Navigate(url);
    EXPECT_EQ(page->calls, Joined({"BeforeNavigate2 " + url + " 0", "CommandStateChange -1 -1"}, Completion(url, true)));
    EXPECT_EQ(view.Html(), "<p>secure</p>");
    EXPECT_EQ(view.LocationUrl(), url);

    // The same certificate under another name of this machine is not trusted.
    page->calls.clear();
    page->cancelErrors = true;
    const std::string other = "https://localhost:" + std::to_string(server->TlsPort()) + "/secure.html";
    Navigate(other);
    EXPECT_EQ(page->calls.back(), "NavigateError " + other + " 800C0019");
    EXPECT_EQ(server->Hits("/secure.html"), 1);
}

namespace {

// A bare event sink: for each event, its dispatch id and its arguments' types as they come
// (first argument first), with "->" for each reference followed.
class RawSink : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        std::string line = std::to_string(id);
        for (UINT i = params->cArgs; i-- > 0;)
            line += " " + Shape(params->rgvarg[i]);
        events.push_back(line);
        return S_OK;
    }

    static std::string Shape(const VARIANT& value)
    {
        char type[16];
        std::snprintf(type, sizeof type, "%X", unsigned(value.vt));
        if (value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal)
            return std::string(type) + "->" + Shape(*value.pvarVal);
        return type;
    }

    Strings events;
};

}  // namespace

TEST_F(BrowserTest, EventArgumentsHaveTheShapesOfTheRealControl)
{
    Open();
    RawSink sink;
    CComPtr<IConnectionPointContainer> container;
    CComPtr<IConnectionPoint> point;
    ASSERT_EQ(browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
    ASSERT_EQ(container->FindConnectionPoint(DIID_KavoWebBrowserEvents2, &point), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    ASSERT_EQ(NavigateToBlank(browser), S_OK);
    ASSERT_TRUE(PumpUntilIdle(5000));
    page->cancelNavigation = true;
    CComVariant url(L"http://127.0.0.1:1/post");
    SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 1);
    VARIANT postData;
    postData.vt = VT_ARRAY | VT_UI1;
    postData.parray = bytes;
    CComVariant headers(L"Content-Type: application/x-www-form-urlencoded\r\n");
    ASSERT_EQ(browser->Navigate2(&url, nullptr, nullptr, &postData, &headers), S_OK);
    SafeArrayDestroy(bytes);
    point->Unadvise(cookie);

    // 9 dispatch, C|4000 by-reference variant, 8 string, 3 long, 2011 byte array, 0 empty, B|4000 bool.
    EXPECT_EQ(sink.events, Strings({
                               // BeforeNavigate2: the post data one reference deeper than the rest.
                               "250 9 400C->8 400C->3 400C->8 400C->400C->0 400C->8 400B",
                               "105 3 B",
                               // NavigateComplete2 and DocumentComplete: browser and address.
                               "252 9 400C->8",
                               "105 3 B",
                               "105 3 B",
                               "105 3 B",
                               "259 9 400C->8",
                               "250 9 400C->8 400C->3 400C->8 400C->400C->2011 400C->8 400B",
                           }));
}

TEST_F(BrowserTest, WritingACompleteDocumentStartsANewOneThatCompletesOnClose)
{
    OpenBlank();
    Write("<form><input name=old></form>");
    ASSERT_TRUE(PumpUntilIdle(5000));
    CComPtr<IHTMLDocument2> document = Document();
    CComPtr<IHTMLStyleSheet> sheet;
    ASSERT_EQ(document->createStyleSheet(CComBSTR(L"about:blank"), -1, &sheet), S_OK);
    page->calls.clear();

    SAFEARRAY* texts = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    VARIANT* slot = nullptr;
    SafeArrayAccessData(texts, reinterpret_cast<void**>(&slot));
    slot->vt = VT_BSTR;
    slot->bstrVal = SysAllocString(L"<p>新しい</p><input name=fresh>");
    SafeArrayUnaccessData(texts);
    EXPECT_EQ(document->write(texts), S_OK);
    EXPECT_EQ(view.Html(), "<p>新しい</p><input name=fresh>");
    EXPECT_TRUE(view.StyleSheets().empty());
    CComBSTR state;
    document->get_readyState(&state);
    EXPECT_EQ(BstrBytes(state), "loading");
    EXPECT_EQ(document->write(texts), S_OK);  // an open document takes more
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_TRUE(page->calls.empty());
    EXPECT_EQ(document->close(), S_OK);
    EXPECT_EQ(document->close(), S_OK);  // closing twice completes once
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(page->calls, Strings({"CommandStateChange -1 -1", "DocumentComplete about:blank"}));
    EXPECT_EQ(view.WrittenDocuments().back(), "<p>新しい</p><input name=fresh><p>新しい</p><input name=fresh>");
    state.Empty();
    document->get_readyState(&state);
    EXPECT_EQ(BstrBytes(state), "complete");

    // open clears at once; close completes what was written after it.
    page->calls.clear();
    CComPtr<IDispatch> window;
    EXPECT_EQ(document->open(CComBSTR(L"text/html"), CComVariant(), CComVariant(), CComVariant(), &window), S_OK);
    EXPECT_EQ(view.Html(), "");
    EXPECT_EQ(document->writeln(texts), S_OK);
    EXPECT_EQ(document->close(), S_OK);
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(view.Html(), "<p>新しい</p><input name=fresh>\r\n");
    EXPECT_EQ(page->calls, Strings({"CommandStateChange -1 -1", "DocumentComplete about:blank"}));
    SafeArrayDestroy(texts);
}

// A page's host as the product builds it: the control window of a dialog template.
class HostedBrowserTest : public BrowserTest {
protected:
    void SetUp() override
    {
        BrowserTest::SetUp();
        ASSERT_TRUE(AtlAxWinInit());
        frame = CreateWindowExA(0, "STATIC", "page", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(frame, nullptr);
        control = CreateWindowExA(0, kWebBrowserClassName, "", WS_CHILD | WS_VISIBLE, 10, 10, 300, 200, frame,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(control, nullptr);
        CComPtr<IUnknown> unknown;
        ASSERT_EQ(AtlAxGetControl(control, &unknown), S_OK);
        ASSERT_EQ(unknown->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)), S_OK);
        CComPtr<IUnknown> host;
        ASSERT_EQ(AtlAxGetHost(control, &host), S_OK);
        ASSERT_EQ(host->QueryInterface(IID_IAxWinAmbientDispatch, reinterpret_cast<void**>(&ambient)), S_OK);
        page = std::make_unique<RecordingPage>();
        page->m_browser = browser;
        ASSERT_EQ(page->m_sink.Advise(browser), S_OK);
        view = scripted::Latest();
    }
    void TearDown() override
    {
        ambient.Release();
        if (frame)
            DestroyWindow(frame);
        BrowserTest::TearDown();
    }

    HWND frame = nullptr;
    HWND control = nullptr;
    CComPtr<IAxWinAmbientDispatch> ambient;
};

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST_F(HostedBrowserTest, ActivatesInsideTheHostWithADocumentWindowPerDocument)
{
    HWND shell = view.Window();
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(ClassOf(shell), "Shell Embedding");
    EXPECT_EQ(GetParent(shell), control);
    RECT area;
    GetClientRect(shell, &area);
    EXPECT_EQ(area.right, 300);
    EXPECT_EQ(area.bottom, 200);

    NavigateToBlank(browser);
    ASSERT_TRUE(PumpUntilIdle(5000));
    HWND first = view.DocumentWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ClassOf(first), "Internet Explorer_Server");
    EXPECT_EQ(GetParent(first), shell);
    CComPtr<IHTMLDocument2> document = Document();
    CComPtr<IOleWindow> oleWindow;
    HWND reported = nullptr;
    ASSERT_EQ(document->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow)), S_OK);
    EXPECT_EQ(oleWindow->GetWindow(&reported), S_OK);
    EXPECT_EQ(reported, first);

    // The page's own subclass sees the wheel first; what it passes on reaches the window.
    SendMessageA(first, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(view.WheelMessages(), 1);

    // Resizing the control resizes both windows.
    MoveWindow(control, 0, 0, 250, 150, TRUE);
    GetClientRect(first, &area);
    EXPECT_EQ(area.right, 250);
    EXPECT_EQ(area.bottom, 150);

    NavigateToBlank(browser);
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_NE(view.DocumentWindow(), nullptr);
    EXPECT_EQ(oleWindow->GetWindow(&reported), E_FAIL);
}

TEST_F(HostedBrowserTest, HostFlagsAndContextMenuComeFromTheCurrentUiHandler)
{
    ambient->put_AllowContextMenu(VARIANT_FALSE);
    ambient->put_DocHostFlags(0x40005);
    browser->put_RegisterAsDropTarget(VARIANT_FALSE);
    EXPECT_FALSE(view.RegisteredAsDropTarget());
    NavigateToBlank(browser);
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(view.HostFlags(), 0x40005u);
    EXPECT_EQ(view.ShowContextMenu(), S_OK);

    // The page's suppressor becomes the document's handler and forwards to the host.
    CComPtr<IHTMLDocument2> document = Document();
    ASSERT_EQ(CShortcutkeySuppressor::Install(document), S_OK);
    ambient->put_DocHostFlags(0x40000);
    Write("<p>terms</p>");
    EXPECT_EQ(view.HostFlags(), 0x40000u);
    MSG key = {};
    key.message = WM_KEYDOWN;
    key.wParam = 'A';
    EXPECT_EQ(view.TranslateAccelerator(key), S_FALSE);
    ambient->put_AllowContextMenu(VARIANT_TRUE);
    EXPECT_EQ(view.ShowContextMenu(), S_FALSE);
}

// A container's site that lets every activation through and counts the references the
// browser keeps of it.
class CountingSite final : public CComObjectImpl<CountingSite, CComOwnedLifetime, IOleClientSite, IOleInPlaceSite> {
public:
    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override
    {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        *window = nullptr;
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT,
                                               LPRECT, LPOLEINPLACEFRAMEINFO) override
    {
        *frame = nullptr;
        *document = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
};

TEST_F(BrowserTest, ActivatingAgainAfterTheContainerDestroyedItsWindowKeepsOneSiteReference)
{
    CountingSite site;
    Open();
    CComPtr<IOleObject> object;
    ASSERT_EQ(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    // Each time the container goes with the browser's window inside, without deactivating it.
    for (int round = 0; round < 2; ++round) {
        HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        RECT area = {0, 0, 200, 100};
        ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, parent, &area), S_OK);
        EXPECT_NE(view.Window(), nullptr);
        DestroyWindow(parent);
        EXPECT_EQ(view.Window(), nullptr);
    }
    // The client site's reference, and the in-place site's of the latest activation only.
    EXPECT_EQ(site.OutstandingReferences(), 2);
    object.Release();
    page.reset();
    browser.Release();
    EXPECT_EQ(site.OutstandingReferences(), 0);
}

TEST_F(HostedBrowserTest, ClosingThePageReleasesEveryObject)
{
    NavigateToBlank(browser);
    ASSERT_TRUE(PumpUntilIdle(5000));
    Write("<form><input type=checkbox name=ag0></form>");
    CComPtr<IHTMLDocument2> document = Document();
    ASSERT_EQ(CShortcutkeySuppressor::Install(document), S_OK);
    CComPtr<IHTMLElementCollection> all;
    ASSERT_EQ(document->get_all(&all), S_OK);
    CComPtr<IDispatch> item;
    ASSERT_EQ(all->item(CComVariant(L"ag0"), CComVariant(), &item), S_OK);
    ASSERT_TRUE(item);
    CComPtr<IHTMLStyleSheet> sheet;
    ASSERT_EQ(document->createStyleSheet(CComBSTR(L"about:blank"), -1, &sheet), S_OK);
    EXPECT_GT(scripted::LiveObjects(), 4);

    item.Release();
    all.Release();
    sheet.Release();
    document.Release();
    DestroyWindow(frame);
    frame = nullptr;
    // The page still holds its browser (as a page does until it goes): the view still sees it.
    EXPECT_TRUE(view.Alive());
    EXPECT_EQ(view.Window(), nullptr);
    page.reset();
    browser.Release();
    EXPECT_EQ(scripted::LiveObjects(), 0);
    EXPECT_FALSE(view.Alive());
    EXPECT_EQ(view.Html(), "");
    EXPECT_TRUE(view.Events().empty());
}
