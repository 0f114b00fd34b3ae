// The scripted browser as the product's page code reaches it: navigation and its events,
// documents written with InitNew and Load, style sheets, hosting through the project's
// control host, and reference counting.
#include "BrowserTestSupport.h"

#include <mshtmhst.h>

#include "CA2W.h"
#include "CAxHost.h"
#include "CComBSTR.h"
#include "CComVariant.h"
#include "CShortcutkeySuppressor.h"
#include "FakeServer.h"

using scripted::Browser;
using scripted::PumpUntilIdle;
using Strings = std::vector<std::string>;

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
    EXPECT_EQ(view.Events(), Strings({"BeforeNavigate2 about:blank", "DocumentComplete about:blank"}));
    EXPECT_EQ(page->calls.back(), "DocumentComplete about:blank");
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
    EXPECT_EQ(page->calls, Strings({"DocumentComplete about:blank"}));
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
    EXPECT_EQ(page->calls, Strings({"NewWindow3 http://127.0.0.1:1/terms.html from about:blank"}));
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
    EXPECT_EQ(page->calls, Strings({"BeforeNavigate2 " + url + " 0", "DocumentComplete " + url}));
    EXPECT_EQ(view.Html(), body);
    EXPECT_EQ(view.LocationUrl(), url);
    EXPECT_EQ(server->Hits("/terms.html"), 1);
}

TEST_F(BrowserFetchTest, FailedNavigationReportsItsStatusAndCompletesUnlessCancelled)
{
    OpenBlank();
    ASSERT_TRUE(server->Fail("/missing.html", "404"));
    const std::string missing = server->Url("/missing.html");
    const std::string refused = "http://127.0.0.1:" + std::to_string(server->ClosedPort()) + "/x.html";
    const struct {
        std::string url;
        bool cancel;
        std::string status;
    } cases[] = {
        {missing, true, "404"},
        {refused, false, "800C0004"},                       // nobody listens
        {"http://192.0.2.1/never.html", true, "800C0005"},  // off the machine: never fetched
        {"ftp://127.0.0.1/x", false, "800C0005"},
    };
    for (const auto& c : cases) {
        page->calls.clear();
        page->cancelErrors = c.cancel;
        Navigate(c.url);
        Strings expected = {"BeforeNavigate2 " + c.url + " 0", "NavigateError " + c.url + " " + c.status};
        if (!c.cancel)
            expected.push_back("DocumentComplete " + c.url);
        EXPECT_EQ(page->calls, expected) << c.url;
        EXPECT_EQ(view.Html(), "") << c.url;
    }
    EXPECT_EQ(view.Events()[view.Events().size() - 2], "NavigateError ftp://127.0.0.1/x 0x800C0005");
    EXPECT_EQ(server->Hits("/missing.html"), 1);
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
