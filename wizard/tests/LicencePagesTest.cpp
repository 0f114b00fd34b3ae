// The licence-terms pages and the registration page's consent browser on the page bench: the
// terms come from the fake server, which fails them on demand; the buttons lead on with their
// statistics pings and, for the option terms, a refresh with the fake order system.
#include "PageContentBench.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <typeinfo>
#include <vector>

#include "CComVariant.h"
#include "CKAVODlg.h"
#include "CTextDef.h"
#include "pages/CEULADialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CExternalEULADialog.h"
#include "pages/CInstallDialog.h"
#include "pages/CLoginDialog.h"
#include "pages/CPreInstallDialog.h"
#include "pages/CPreSignupDialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CStatusDialog.h"
#include "pages/CUpgradeEULADialog.h"

namespace {

using Strings = std::vector<std::string>;

const char kOptionTerms[] = "/contents/security/kavo/agreement/eula_k.html";
const char kVendorTerms[] = "/contents/security/kavo/tm_agreement/tm_security_eula_k.html";
const char kUpgradeTerms[] = "/contents/security/kavo/agreement/security_tool_k.html";
const char kConsentPage[] = "/contents/security/kavo/agreement/mail_pc_permit_k.html";
const char kAgreePing[] = "/contents/security/kavo/tm_count/b_n04_agree_k.html";
const char kDisagreePing[] = "/contents/security/kavo/tm_count/b_n04_disagree_k.html";
const char kOptionPing[] = "/contents/security/kavo/tm_count/tm_security_permit_0_k.html";
const char* const kPings[] = {kAgreePing, kDisagreePing, kOptionPing};

template <typename Page>
CKAVODlgBase* Make()
{
    return new Page;
}

struct TermsPage {
    const char* name;
    CKAVODlgBase* (*make)();
    const char* termsPath;
    const char* fallbackKey;
    bool backStaysWithFallback;  // 209 is a back button there, not a disagree button
    bool closeOnlyWithFallback;  // 8 is shown only while the fallback is
    bool reloadTurnsButtonsOff;  // reload disables the buttons until the terms complete
};

const TermsPage kTermsPages[] = {
    {"CEULADialog", Make<CEULADialog>, kOptionTerms, "B_N04_IDC_WEBBROWSER", false, false, false},
    {"CExternalEULADialog", Make<CExternalEULADialog>, kVendorTerms, "B_N08_1_IDC_WEBBROWSER", true, false, false},
    {"CUpgradeEULADialog", Make<CUpgradeEULADialog>, kUpgradeTerms, "D_N03_IDC_WEBBROWSER", false, true, true},
};

std::string Fallback(const char* key)
{
    return std::string("<p>fallback ") + key + "</p>";
}

class LicencePages : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        context.customer.VeldinCommonID = "C0001";
        context.customer.AccessKey = "KEY0001";
        RouteDocuments();
        for (const char* key : {"B_N04_IDC_WEBBROWSER", "B_N08_1_IDC_WEBBROWSER", "D_N03_IDC_WEBBROWSER",
                                "B_N07_IDC_WEBBROWSER"})
            CTextDef::SetText(key, Fallback(key).c_str());
    }

    // Routes end with a reset: each case of a table serves them again.
    static void RouteDocuments()
    {
        for (const char* path : {kOptionTerms, kVendorTerms, kUpgradeTerms, kConsentPage})
            ASSERT_TRUE(Server().Route(path, std::string("<p>terms at ") + path + "</p>"));
    }

    CKAVODlgBase* OpenPage(const TermsPage& c)
    {
        CKAVODlgBase* page = static_cast<CKAVODlgBase*>(CreatePageWindow(c.make(), frame, &context));
        EXPECT_NE(page, nullptr);
        EXPECT_TRUE(SettleWithPosted());
        return page;
    }

    static long EventCount(const CWBDialog* page, const std::string& event)
    {
        const Strings events = BrowserOf(page).Events();
        return long(std::count(events.begin(), events.end(), event));
    }

    // What the page shows in its button row, agree first.
    static void ExpectTermsShown(const CWBDialog* page, const TermsPage& c)
    {
        EXPECT_TRUE(ItemShown(page, IDC_AGREE));
        EXPECT_TRUE(ItemShown(page, IDC_DISAGREE));
        EXPECT_TRUE(ItemShown(page, IDC_STATIC2));
        EXPECT_TRUE(ItemShown(page, IDC_STATIC3));
        EXPECT_FALSE(ItemShown(page, IDC_REFRESH));
        if (c.closeOnlyWithFallback) {
            EXPECT_FALSE(ItemShown(page, ID_PAGE_CLOSE));
        }
    }

    static void ExpectFallbackShown(const CWBDialog* page, const TermsPage& c)
    {
        EXPECT_FALSE(ItemShown(page, IDC_AGREE));
        EXPECT_EQ(ItemShown(page, IDC_DISAGREE), c.backStaysWithFallback);
        EXPECT_FALSE(ItemShown(page, IDC_STATIC2));
        EXPECT_FALSE(ItemShown(page, IDC_STATIC3));
        EXPECT_TRUE(ItemShown(page, IDC_REFRESH));
        if (c.closeOnlyWithFallback) {
            EXPECT_TRUE(ItemShown(page, ID_PAGE_CLOSE));
        }
        for (int id : {IDC_AGREE, IDC_DISAGREE, IDC_REFRESH})
            EXPECT_TRUE(ItemEnabled(page, id)) << id;
    }
};

TEST_F(LicencePages, TermsFromTheServerOfferAgreeAndDisagreeEnabled)
{
    for (const TermsPage& c : kTermsPages) {
        SCOPED_TRACE(c.name);
        CKAVODlgBase* page = OpenPage(c);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(BrowserOf(page).LocationUrl(), Server().Url(c.termsPath));
        EXPECT_EQ(BrowserOf(page).Html(), std::string("<p>terms at ") + c.termsPath + "</p>");
        EXPECT_EQ(WrittenDocuments(page), Strings());
        ExpectTermsShown(page, c);
        for (int id : {IDC_AGREE, IDC_DISAGREE})
            EXPECT_TRUE(ItemEnabled(page, id)) << id;
        // The terms are a document like any other: they get the default style sheet.
        EXPECT_EQ(StyleSheets(page), Strings({CTextDef::GetText("COMMON_DEFAULTSTYLESHEET").GetString()}));
        EXPECT_EQ(Server().Hits(c.termsPath), 1);
        DestroyPage(page);
    }
}

TEST_F(LicencePages, FirstBlankDocumentLeavesEveryButtonDisabledUntilTheTermsComplete)
{
    for (const TermsPage& c : kTermsPages) {
        SCOPED_TRACE(c.name);
        CWBDialog* page = CreatePageWindow(c.make(), frame, &context);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(scripted::PumpUntil([&] { return EventCount(page, "DocumentComplete about:blank") == 1; }, 10000));
        EXPECT_EQ(EventCount(page, "BeforeNavigate2 " + Server().Url(c.termsPath)), 1);
        for (int id : {IDC_AGREE, IDC_DISAGREE, IDC_REFRESH, ID_PAGE_CLOSE})
            EXPECT_FALSE(ItemEnabled(page, id)) << id;
        ExpectTermsShown(page, c);

        ASSERT_TRUE(SettleWithPosted());
        for (int id : {IDC_AGREE, IDC_DISAGREE})
            EXPECT_TRUE(ItemEnabled(page, id)) << id;
        DestroyPage(page);
    }
}

TEST_F(LicencePages, FailedTermsShowTheFallbackOnceWithReloadInPlaceOfAgree)
{
    for (const char* mode : {"404", "refuse"}) {
        for (const TermsPage& c : kTermsPages) {
            SCOPED_TRACE(std::string(c.name) + " " + mode);
            ASSERT_TRUE(Server().Fail(c.termsPath, mode, 0));
            CKAVODlgBase* page = OpenPage(c);
            ASSERT_NE(page, nullptr);
            // The error is cancelled: the browser's own error document never completes.
            EXPECT_EQ(EventCount(page, "DocumentComplete " + Server().Url(c.termsPath)), 0);
            EXPECT_EQ(EventCount(page, "BeforeNavigate2 about:blank"), 2);
            EXPECT_EQ(WrittenDocuments(page), Strings({kShiftJisMetaLine + Fallback(c.fallbackKey)}));
            ExpectFallbackShown(page, c);
            const RECT agree = ItemRect(page, IDC_AGREE);
            const RECT reload = ItemRect(page, IDC_REFRESH);
            EXPECT_EQ(reload.top, agree.top);
            if (!c.closeOnlyWithFallback) {
                EXPECT_EQ(reload.left, agree.left);
            }

            // A hidden agree button does nothing, whatever sends its command.
            Click(page, IDC_AGREE);
            CWBDialog* next = nullptr;
            EXPECT_FALSE(TakePageSentToFrame(&next));
            EXPECT_TRUE(::IsWindow(page->m_hWnd));
            DestroyPage(page);
            ASSERT_TRUE(Server().Reset());
            RouteDocuments();
        }
    }
}

TEST_F(LicencePages, ReloadLoadsTheTermsAgain)
{
    for (const TermsPage& c : kTermsPages) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Server().Fail(c.termsPath, "404", 1));
        CKAVODlgBase* page = OpenPage(c);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(ItemShown(page, IDC_REFRESH));

        Click(page, IDC_REFRESH);
        for (int id : {IDC_AGREE, IDC_DISAGREE, IDC_REFRESH, ID_PAGE_CLOSE})
            if (::GetDlgItem(page->m_hWnd, id)) {
                EXPECT_EQ(ItemEnabled(page, id), !c.reloadTurnsButtonsOff) << id;
            }
        ASSERT_TRUE(SettleWithPosted());
        EXPECT_EQ(Server().Hits(c.termsPath), 2);
        EXPECT_EQ(BrowserOf(page).LocationUrl(), Server().Url(c.termsPath));
        ExpectTermsShown(page, c);
        for (int id : {IDC_AGREE, IDC_DISAGREE})
            EXPECT_TRUE(ItemEnabled(page, id)) << id;
        DestroyPage(page);
        ASSERT_TRUE(Server().Reset());
        RouteDocuments();
    }
}

TEST_F(LicencePages, EveryFailureCycleWritesTheFallbackOnce)
{
    for (const TermsPage& c : kTermsPages) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Server().Fail(c.termsPath, "500", 0));
        CKAVODlgBase* page = OpenPage(c);
        ASSERT_NE(page, nullptr);
        Click(page, IDC_REFRESH);
        ASSERT_TRUE(SettleWithPosted());
        EXPECT_EQ(Server().Hits(c.termsPath), 2);
        const std::string fallback = kShiftJisMetaLine + Fallback(c.fallbackKey);
        EXPECT_EQ(WrittenDocuments(page), Strings({fallback, fallback}));
        ExpectFallbackShown(page, c);
        DestroyPage(page);
        ASSERT_TRUE(Server().Reset());
        RouteDocuments();
    }
}

TEST_F(LicencePages, ConsentPageFailureWritesItsFallbackOnce)
{
    struct Case {
        bool fails;
        Strings written;
    };
    const Case kCases[] = {
        {false, {}},
        {true, {kShiftJisMetaLine + Fallback("B_N07_IDC_WEBBROWSER")}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.fails ? "failing" : "served");
        if (c.fails) {
            ASSERT_TRUE(Server().Fail(kConsentPage, "404", 0));
        }
        CWBDialog* page = Open(new CRegClientDialog);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(SettleWithPosted());
        EXPECT_EQ(WrittenDocuments(page), c.written);
        EXPECT_EQ(EventCount(page, "DocumentComplete " + Server().Url(kConsentPage)), c.fails ? 0 : 1);
        EXPECT_EQ(static_cast<CRegClientDialog*>(page)->m_navigationFailed, c.fails ? TRUE : FALSE);
        EXPECT_TRUE(ItemShown(page, IDC_NEXT));
        DestroyPage(page);
        ASSERT_TRUE(Server().Reset());
        RouteDocuments();
    }
}

TEST_F(LicencePages, NavigationErrorForTheBlankPageItselfIsLeftAlone)
{
    struct Case {
        const char* name;
        CKAVODlgBase* (*make)();
    };
    const Case kPages[] = {
        {"CEULADialog", Make<CEULADialog>},
        {"CExternalEULADialog", Make<CExternalEULADialog>},
        {"CUpgradeEULADialog", Make<CUpgradeEULADialog>},
        {"CRegClientDialog", Make<CRegClientDialog>},
    };
    for (const Case& p : kPages) {
        for (const bool blank : {true, false}) {
            SCOPED_TRACE(std::string(p.name) + (blank ? " about:blank" : " elsewhere"));
            CWBDialog* page = CreatePageWindow(p.make(), frame, &context);
            ASSERT_NE(page, nullptr);
            ASSERT_TRUE(SettleWithPosted());
            ASSERT_EQ(EventCount(page, "BeforeNavigate2 about:blank"), 1);

            // As a browser reports it when even the blank page fails, which would otherwise
            // send the page to the blank page again and again.
            CComVariant url(blank ? L"about:blank" : L"http://127.0.0.1:9/gone.html");
            CComVariant target;
            CComVariant status(long(0x800C0005));
            VARIANT_BOOL cancel = VARIANT_FALSE;
            page->NavigateError(nullptr, &url, &target, &status, &cancel);
            ASSERT_TRUE(SettleWithPosted());
            EXPECT_EQ(cancel, blank ? VARIANT_FALSE : VARIANT_TRUE);
            EXPECT_EQ(EventCount(page, "BeforeNavigate2 about:blank"), blank ? 1 : 2);
            EXPECT_EQ(WrittenDocuments(page).size(), blank ? 0u : 1u);
            DestroyPage(page);
        }
    }
}

TEST_F(LicencePages, ButtonsLeadToTheirPagesWithTheirPings)
{
    struct Case {
        const char* name;
        CKAVODlgBase* (*make)();
        int button;
        const char* migrationType;
        const char* refreshScript;  // the scripted answer to "1002", "" for the model's
        const char* nextClass;
        const char* ping;         // null: none
        const char* orderIds;     // what the order system was asked
        const char* valueKey;     // a context value the button sets, null: none
        const char* value;
    };
    const Case kCases[] = {
        {"CEULADialog", Make<CEULADialog>, IDC_AGREE, "", "", typeid(CPreSignupDialog).name(), kAgreePing, "",
         nullptr, nullptr},
        {"CEULADialog", Make<CEULADialog>, IDC_DISAGREE, "", "", typeid(CStatusDialog).name(), kDisagreePing, "1002",
         nullptr, nullptr},
        {"CEULADialog", Make<CEULADialog>, IDC_DISAGREE, "", "\"status\": 500", typeid(CErrorDialog).name(),
         kDisagreePing, "1002", nullptr, nullptr},
        {"CEULADialog", Make<CEULADialog>, IDC_DISAGREE, "", "\"result\": \"0002\"", typeid(CErrorDialog).name(),
         kDisagreePing, "1002", nullptr, nullptr},
        {"CExternalEULADialog", Make<CExternalEULADialog>, IDC_AGREE, "", "", typeid(CInstallDialog).name(),
         kOptionPing, "", "OPTIONAL_FUNCTION", "ENABLE"},
        {"CExternalEULADialog", Make<CExternalEULADialog>, IDC_DISAGREE, "", "", typeid(CPreInstallDialog).name(),
         nullptr, "", "OPTIONAL_FUNCTION", ""},
        {"CUpgradeEULADialog", Make<CUpgradeEULADialog>, IDC_AGREE, "V", "", typeid(CInstallDialog).name(), nullptr,
         "", "INSTALL_TYPE", "CUSTOM"},
        {"CUpgradeEULADialog", Make<CUpgradeEULADialog>, IDC_AGREE, "v", "", typeid(CPreInstallDialog).name(),
         nullptr, "", "INSTALL_TYPE", "CUSTOM"},
        {"CUpgradeEULADialog", Make<CUpgradeEULADialog>, IDC_AGREE, "", "", typeid(CPreInstallDialog).name(), nullptr,
         "", "INSTALL_TYPE", "CUSTOM"},
        {"CUpgradeEULADialog", Make<CUpgradeEULADialog>, IDC_DISAGREE, "V", "", typeid(CLoginDialog).name(), nullptr,
         "", "INSTALL_TYPE", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.button) + " " + c.migrationType + " " +
                     c.refreshScript);
        ASSERT_TRUE(Server().Reset());
        RouteDocuments();
        if (*c.refreshScript) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.refreshScript));
        }
        MakeFeesReady();
        context.ClearFlowData();
        context.errorCode = "";
        context.SetValue("MIGRATION_TYPE", c.migrationType);
        CWBDialog* page = CreatePageWindow(c.make(), frame, &context);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(SettleWithPosted());
        const HWND window = page->m_hWnd;

        Click(page, c.button);
        EXPECT_FALSE(::IsWindow(window));
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        if (next) {
            EXPECT_EQ(::GetParent(next->m_hWnd), frame);
            EXPECT_EQ(static_cast<CKAVODlgBase*>(next)->m_context, &context);
        }
        EXPECT_EQ(Server().OrdersIds(), c.orderIds);
        if (c.valueKey) {
            EXPECT_EQ(std::string(context.GetValue(c.valueKey)), c.value);
        }
        if (c.ping) {
            EXPECT_EQ(HitsAfterWaiting(c.ping, 1), 1);
        } else {
            // A ping that must not come gets the time to arrive all the same.
            ::Sleep(300);
        }
        for (const char* other : kPings)
            if (other != c.ping) {
                EXPECT_EQ(Server().Hits(other), 0) << other;
            }
        if (next)
            DestroyPage(next);
        ASSERT_TRUE(SettleWithPosted());
    }
}

TEST_F(LicencePages, UpgradeTermsPageLinesDisagreeUpWhereCloseEnds)
{
    CKAVODlgBase* reference = OpenPage(kTermsPages[0]);
    ASSERT_NE(reference, nullptr);
    const RECT close = ItemRect(reference, ID_PAGE_CLOSE);
    const RECT disagree = ItemRect(reference, IDC_DISAGREE);
    DestroyPage(reference);

    CKAVODlgBase* page = OpenPage(kTermsPages[2]);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(ItemShown(page, IDC_STEPBAR));
    const RECT moved = ItemRect(page, IDC_DISAGREE);
    EXPECT_EQ(moved.right, close.right);
    EXPECT_EQ(moved.top, disagree.top);
    EXPECT_EQ(moved.right - moved.left, disagree.right - disagree.left);
    DestroyPage(page);
}

TEST_F(LicencePages, VendorPageWritesItsHeadingsInRedOnTheWhiteBackground)
{
    CKAVODlgBase* page = OpenPage(kTermsPages[1]);
    ASSERT_NE(page, nullptr);
    const HDC dc = ::CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    for (const int id : {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3}) {
        SCOPED_TRACE(id);
        ::SetTextColor(dc, RGB(0, 0, 0));
        const LRESULT brush =
            ::SendMessageA(page->m_hWnd, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(::GetDlgItem(page->m_hWnd, id)));
        EXPECT_EQ(HGDIOBJ(brush), ::GetStockObject(WHITE_BRUSH));
        EXPECT_EQ(::GetTextColor(dc), id == IDC_STATIC3 ? RGB(0, 0, 0) : RGB(255, 0, 0));
    }
    ::DeleteDC(dc);
    DestroyPage(page);
}

// The frame window procedure of the next test: keeps the background the page sends.
HBITMAP g_frameBackground = nullptr;
LRESULT CALLBACK KeepBackground(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KAVO_PAGE && wParam == PAGECMD_SETBACKGROUND)
        g_frameBackground = reinterpret_cast<HBITMAP>(lParam);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(LicencePages, VendorPageGivesTheFrameItsOwnHeaderWhenItStarts)
{
    CKAVODlgBase* page = OpenPage(kTermsPages[1]);
    ASSERT_NE(page, nullptr);
    g_frameBackground = nullptr;
    const LONG_PTR old = ::SetWindowLongPtrA(frame, GWLP_WNDPROC, LONG_PTR(KeepBackground));
    ::SendMessageA(page->m_hWnd, WM_KAVO_PAGE, 0, 0);
    ::SetWindowLongPtrA(frame, GWLP_WNDPROC, old);
    ASSERT_NE(g_frameBackground, nullptr);
    BITMAP header = {};
    ASSERT_EQ(::GetObjectA(g_frameBackground, sizeof header, &header), int(sizeof header));
    // As wide as the frame's own header band.
    EXPECT_EQ(header.bmWidth, 800);
    DestroyPage(page);
    // Shared with the module: the frame may still draw it after the page is gone.
    EXPECT_EQ(::GetObjectA(g_frameBackground, sizeof header, &header), int(sizeof header));
}

}  // namespace
