// The browser hosting of real page classes on the scripted browser.
#include "PageBench.h"

#include <windows.h>
#include <mshtmhst.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "CAxHost.h"
#include "CKAVODlg.h"
#include "CTextDef.h"
#include "PageFactory.h"
#include "PageTable.h"
#include "pages/CStartDialog.h"

namespace {

using Strings = std::vector<std::string>;

class PageHosting : public PageBench {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
        PageBench::SetUp();
    }

    template <typename Page>
    Page* Open(Page* page)
    {
        return static_cast<Page*>(CreatePageWindow(page, frame, &context));
    }

    static std::string DefaultStyleSheet() { return CTextDef::GetText("COMMON_DEFAULTSTYLESHEET").GetString(); }

    static bool Contains(const Strings& lines, const std::string& line)
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    static long Count(const Strings& lines, const std::string& prefix)
    {
        return long(std::count_if(lines.begin(), lines.end(),
                                  [&](const std::string& line) { return line.compare(0, prefix.size(), prefix) == 0; }));
    }
};

using StartPage = PageWithHtml<CStartDialog>;

const char kStartHtml[] = "<p>start</p><a href=\"next.html\">next</a>";

// Ctrl as the hardware holds it: the document window's filter asks GetAsyncKeyState.
void PressControl(bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_CONTROL;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof input);
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&message);
}

HRESULT TranslateWithCtrl(const scripted::Browser& view, WPARAM key)
{
    HeldKeys held({VK_CONTROL});
    return const_cast<scripted::Browser&>(view).TranslateAccelerator(KeyMessage(view.DocumentWindow(), WM_KEYDOWN, key));
}

TEST_F(PageHosting, EveryPageWithABrowserSetsItUpOnTheScriptedBrowser)
{
    for (const PageRow& row : AllPages()) {
        if (!row.byName)
            continue;
        SCOPED_TRACE(row.className);
        CWBDialog* page = CreatePageObject(row.className, frame, &context);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(Settle());
        const scripted::Browser view = BrowserOf(page);
        if (page->m_browserId == 0xFFFF) {
            EXPECT_FALSE(view.Alive());
            ::DestroyWindow(page->m_hWnd);
            continue;
        }
        ASSERT_TRUE(view.Alive());
        EXPECT_EQ(view.HostFlags(), page->GetHostFlags());
        EXPECT_FALSE(view.RegisteredAsDropTarget());
        // One navigation to the blank page, no more (command-state changes come with it); what
        // follows it is the page's own content: its written document, or a page it navigates to.
        std::vector<std::string> navigation;
        for (const std::string& event : view.Events())
            if (event.rfind("CommandStateChange", 0) != 0)
                navigation.push_back(event);
        const Strings setUp = {"BeforeNavigate2 about:blank", "NavigateComplete2 about:blank",
                               "DocumentComplete about:blank"};
        EXPECT_EQ(Strings(navigation.begin(), navigation.begin() + std::min(navigation.size(), setUp.size())), setUp);
        EXPECT_EQ(std::count(navigation.begin(), navigation.end(), setUp[0]), 1);
        // The page's own handler is on the document: Ctrl+P prints nothing, no menu shows.
        EXPECT_EQ(TranslateWithCtrl(view, 'P'), S_OK);
        EXPECT_EQ(const_cast<scripted::Browser&>(view).ShowContextMenu(), S_OK);
        EXPECT_EQ(static_cast<CKAVODlgBase*>(page)->m_ieServer.m_hWnd, view.DocumentWindow());
        ::DestroyWindow(page->m_hWnd);
        EXPECT_FALSE(view.Alive());
    }
}

TEST_F(PageHosting, FirstDocumentGetsThePageHtmlOnceAndEveryLaterOneOnlyTheStyleSheet)
{
    Server().Route("/hosting/next.html", "<p>next</p>");
    Server().Route("/hosting/last.html", "<p>last</p>");
    StartPage* page = Open(new StartPage(kStartHtml));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(Settle());
    const std::string written = std::string(kShiftJisMetaLine) + kStartHtml;
    EXPECT_EQ(page->loads, std::vector<WORD>({0}));
    EXPECT_EQ(WrittenDocuments(page), Strings({written}));
    EXPECT_EQ(StyleSheets(page), Strings({DefaultStyleSheet()}));

    for (const char* path : {"/hosting/next.html", "/hosting/last.html"}) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(Navigate(page, Server().Url(path)));
        EXPECT_EQ(BrowserOf(page).LocationUrl(), Server().Url(path));
        EXPECT_EQ(page->loads, std::vector<WORD>({0}));
        EXPECT_EQ(WrittenDocuments(page), Strings({written}));
        EXPECT_EQ(StyleSheets(page), Strings({DefaultStyleSheet()}));
    }
}

TEST_F(PageHosting, BrowserThatCompletesTheWrittenDocumentAtOnceGetsItWrittenOnce)
{
    StartPage* page = new StartPage(kStartHtml);
    // The written document completes while the page is still writing it.
    page->onLoad = [](StartPage& self) {
        if (self.loads.size() == 1)
            scripted::PumpUntilIdle(5000);
    };
    ASSERT_NE(Open(page), nullptr);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(page->loads, std::vector<WORD>({0}));
    EXPECT_EQ(WrittenDocuments(page).size(), 1u);
    EXPECT_EQ(StyleSheets(page), Strings({DefaultStyleSheet()}));
}

TEST_F(PageHosting, EachDocumentGetsItsOwnShortcutFilterAndLetsGoOfItWithTheDocument)
{
    Server().Route("/hosting/next.html", "<p>next</p>");
    StartPage* page = Open(new StartPage(kStartHtml));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(Settle());
    CComPtr<IUnknown> host;
    ASSERT_EQ(AtlAxGetHost(page->GetDlgItem(200), &host), S_OK);
    // Each filter holds the control's site; one left behind by a replaced document would
    // keep its references.
    auto siteReferences = [&] {
        host->AddRef();
        return host->Release();
    };
    const ULONG withFirstFilter = siteReferences();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(Navigate(page, Server().Url("/hosting/next.html")));
        const scripted::Browser view = BrowserOf(page);
        EXPECT_EQ(TranslateWithCtrl(view, 'N'), S_OK);
        EXPECT_EQ(TranslateWithCtrl(view, 'C'), S_FALSE);
        EXPECT_EQ(siteReferences(), withFirstFilter);
    }
}

TEST_F(PageHosting, DocumentWindowIsFilteredForCtrlWheelAndGivenBackWhenItGoes)
{
    Server().Route("/hosting/next.html", "<p>next</p>");
    StartPage* page = Open(new StartPage(kStartHtml));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(Settle());
    const HWND first = BrowserOf(page).DocumentWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(page->m_ieServer.m_hWnd, first);
    const LONG_PTR filter = ::GetWindowLongPtrA(first, GWLP_WNDPROC);

    ASSERT_TRUE(Navigate(page, Server().Url("/hosting/next.html")));
    const scripted::Browser view = BrowserOf(page);
    const HWND second = view.DocumentWindow();
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, first);
    // The first window went with its document; the filter moved to the new one.
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_EQ(page->m_ieServer.m_hWnd, second);
    EXPECT_EQ(::GetWindowLongPtrA(second, GWLP_WNDPROC), filter);

    const int before = view.WheelMessages();
    ::SendMessageA(second, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(view.WheelMessages(), before + 1);
    PressControl(true);
    if (::GetAsyncKeyState(VK_CONTROL) != 0)
        ::SendMessageA(second, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
    else
        ADD_FAILURE() << "no keyboard input on this display";
    PressControl(false);
    EXPECT_EQ(view.WheelMessages(), before + 1);
}

// Records what the page's own clean-up left when the window's last message comes.
class ClosingPage : public PageWithHtml<CStartDialog> {
public:
    ClosingPage() : PageWithHtml<CStartDialog>(kStartHtml) {}

    BEGIN_MSG_MAP(ClosingPage)
        MESSAGE_HANDLER(WM_NCDESTROY, OnNcDestroy)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    LRESULT OnNcDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        adviseLeft = m_sink.IsAdvised();
        documentWindowLeft = ::IsWindow(documentWindow) != FALSE;
        bHandled = FALSE;
        return 0;
    }

    HWND documentWindow = nullptr;
    static bool adviseLeft;
    static bool documentWindowLeft;
};

bool ClosingPage::adviseLeft = true;
bool ClosingPage::documentWindowLeft = true;

TEST_F(PageHosting, DestroyedPageLetsGoOfItsBrowserEventsAndDocumentWindow)
{
    const long before = scripted::LiveObjects();
    ClosingPage* page = Open(new ClosingPage);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(Settle());
    const scripted::Browser view = BrowserOf(page);
    ASSERT_TRUE(page->m_sink.IsAdvised());
    page->documentWindow = view.DocumentWindow();
    ASSERT_TRUE(::IsWindow(page->documentWindow));
    ClosingPage::adviseLeft = true;
    ClosingPage::documentWindowLeft = true;

    ::DestroyWindow(page->m_hWnd);
    EXPECT_FALSE(ClosingPage::adviseLeft);
    EXPECT_FALSE(ClosingPage::documentWindowLeft);
    EXPECT_FALSE(view.Alive());
    EXPECT_EQ(scripted::LiveObjects(), before);
}

struct NewWindowCase {
    const char* href;
    bool opens;
};

TEST_F(PageHosting, NewWindowOpensOnlyWebAddressesInTheDefaultBrowserAndThePageStays)
{
    const NewWindowCase cases[] = {
        {"http://127.0.0.1:1/guide.html", true},
        {"https://127.0.0.1:1/terms.html", true},
        {"HTTP://127.0.0.1:1/upper.html", true},
        {"file:///C:/windows/system32/calc.exe", false},
        {"javascript:alert(1)", false},
        {"mailto:someone@127.0.0.1", false},
        {"ms-settings:", false},
        {"httpx://127.0.0.1:1/", false},
    };
    std::string html;
    for (const NewWindowCase& c : cases)
        html += std::string("<a href=\"") + c.href + "\" target=\"_blank\">link</a>";
    StartPage* page = Open(new StartPage(html));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(Settle());
    const scripted::Browser view = BrowserOf(page);
    const size_t eventsBefore = view.Events().size();

    Strings opened;
    for (const NewWindowCase& c : cases) {
        SCOPED_TRACE(c.href);
        ASSERT_TRUE(const_cast<scripted::Browser&>(view).ClickLink(c.href));
        ASSERT_TRUE(Settle());
        if (c.opens)
            opened.push_back(c.href);
        EXPECT_EQ(OpenedInDefaultBrowser(), opened);
    }
    const Strings events = view.Events();
    EXPECT_EQ(events.size(), eventsBefore + sizeof cases / sizeof cases[0]);
    EXPECT_EQ(Count(events, "BeforeNavigate2"), 1);
    EXPECT_EQ(WrittenDocuments(page).size(), 1u);
    EXPECT_EQ(view.LocationUrl(), "about:blank");
}

struct ForwardedKey {
    const char* name;
    std::vector<BYTE> held;
    WPARAM key;
    LRESULT taken;           // what the host answers the frame
    bool reachesDocument;
};

TEST_F(PageHosting, KeysTheFrameForwardsReachTheControlThroughItsHost)
{
    const ForwardedKey cases[] = {
        {"CtrlC", {VK_CONTROL}, 'C', 1, true},
        {"Tab", {}, VK_TAB, 1, true},
        {"PlainLetter", {}, 'A', 0, true},
        {"CtrlL", {VK_CONTROL}, 'L', 1, false},
        {"CtrlN", {VK_CONTROL}, 'N', 1, false},
        {"CtrlO", {VK_CONTROL}, 'O', 1, false},
        {"CtrlP", {VK_CONTROL}, 'P', 1, false},
    };
    StartPage* page = Open(new StartPage(kStartHtml));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(Settle());
    const scripted::Browser view = BrowserOf(page);
    const HWND document = view.DocumentWindow();
    const HWND child = PageChildOf(page->m_hWnd, document);
    ASSERT_EQ(child, page->GetDlgItem(200));

    for (const ForwardedKey& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string line = "DocumentKey " + std::to_string(WM_KEYDOWN) + " " + std::to_string(c.key);
        const long before = Count(view.Events(), line);
        HeldKeys held(c.held);
        MSG message = KeyMessage(document, WM_KEYDOWN, c.key);
        EXPECT_EQ(::SendMessageA(child, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&message)), c.taken);
        EXPECT_EQ(Count(view.Events(), line), before + (c.reachesDocument ? 1 : 0));
    }
    // Mouse messages are the control's own business.
    MSG click = KeyMessage(document, WM_LBUTTONDOWN, 0);
    EXPECT_EQ(::SendMessageA(child, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&click)), 0);
}

// A freed page is kept, poisoned, with a trap where its event sink was: any call the
// browser makes on the sink after the page was deleted is seen.
bool g_sinkTouchedAfterFree = false;
size_t g_sinkOffset = 0;
std::vector<void*> g_quarantine;

class FreedSinkTrap final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return Touched(E_NOINTERFACE);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(Touched(1)); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(Touched(1)); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return Touched(E_UNEXPECTED); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return Touched(E_UNEXPECTED); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return Touched(E_UNEXPECTED);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return Touched(E_UNEXPECTED);
    }

private:
    static HRESULT Touched(HRESULT result)
    {
        g_sinkTouchedAfterFree = true;
        return result;
    }
};

enum class HandOverOn { DocumentComplete, BeforeNavigate2, NavigateError };

// A real page that goes to the next page from inside one of its browser's events.
class HandingOverPage : public CStartDialog {
public:
    explicit HandingOverPage(HandOverOn on) : m_on(on)
    {
        g_sinkOffset = size_t(reinterpret_cast<char*>(static_cast<IDispatch*>(&m_sink)) -
                              reinterpret_cast<char*>(this));
    }
    ~HandingOverPage() override { deleted = true; }

    static void* operator new(size_t size) { return ::operator new(size); }
    static void operator delete(void* memory, size_t size)
    {
        std::memset(memory, 0xDD, size);
        new (static_cast<char*>(memory) + g_sinkOffset) FreedSinkTrap;
        g_quarantine.push_back(memory);
    }

    void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url) override
    {
        CStartDialog::DocumentComplete(browser, url);
        if (m_on == HandOverOn::DocumentComplete)
            HandOver();
    }
    void __stdcall BeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                   VARIANT_BOOL*) override
    {
        if (m_on == HandOverOn::BeforeNavigate2 && url && url->vt == VT_BSTR && wcsstr(url->bstrVal, L"/hosting/"))
            HandOver();
    }
    void __stdcall NavigateError(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) override
    {
        if (m_on == HandOverOn::NavigateError)
            HandOver();
    }

    static bool deleted;

private:
    void HandOver()
    {
        GoToPage(CreatePageObject("CPostCancelDialog", GetParent(), m_context), 0);
    }

    const HandOverOn m_on;
};

bool HandingOverPage::deleted = false;

class PageHandOver : public PageHosting {
protected:
    void TearDown() override
    {
        PageHosting::TearDown();
        for (void* memory : g_quarantine)
            ::operator delete(memory);
        g_quarantine.clear();
    }
};

TEST_F(PageHandOver, PageThatHandsOverInsideABrowserEventIsFreedOnlyAfterTheEvent)
{
    Server().Route("/hosting/next.html", "<p>next</p>");
    Server().Fail("/hosting/missing.html", "404", 0);
    const struct {
        const char* name;
        HandOverOn on;
        const char* navigateTo;
    } cases[] = {
        {"DocumentComplete", HandOverOn::DocumentComplete, nullptr},
        {"BeforeNavigate2", HandOverOn::BeforeNavigate2, "/hosting/next.html"},
        {"NavigateError", HandOverOn::NavigateError, "/hosting/missing.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_sinkTouchedAfterFree = false;
        HandingOverPage::deleted = false;
        auto* page = static_cast<HandingOverPage*>(CreatePageWindow(new HandingOverPage(c.on), frame, &context));
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(Settle());
        if (c.navigateTo) {
            ASSERT_FALSE(HandingOverPage::deleted);
            ASSERT_TRUE(Navigate(page, Server().Url(c.navigateTo)));
        }
        EXPECT_TRUE(HandingOverPage::deleted);
        EXPECT_FALSE(g_sinkTouchedAfterFree);
        // The next page is the frame's child now.
        HWND next = ::FindWindowExA(frame, nullptr, "#32770", nullptr);
        EXPECT_NE(next, nullptr);
        if (next)
            ::DestroyWindow(next);
    }
}

}  // namespace
