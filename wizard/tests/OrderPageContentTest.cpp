// What the order confirmation, the order acknowledgement and the cancellation confirmation
// show for the customer's choice and the order system's answer.
#include "PageContentBench.h"

#include <windows.h>

#include <string>
#include <vector>

#include "CKAVODlg.h"
#include "pages/CErrorDialog.h"
#include "pages/CPostSignupDialog.h"
#include "pages/CPreCancelDialog.h"
#include "pages/CPreSignupDialog.h"

namespace {

using Strings = std::vector<std::string>;

ULONGLONG TimeOf(WORD year, WORD month, WORD day, WORD hour)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    FILETIME fileTime;
    ::SystemTimeToFileTime(&time, &fileTime);
    return (ULONGLONG(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
}

class OrderPageContent : public PageContentBench {
protected:
    void SetUp() override
    {
        PageContentBench::SetUp();
        CTextDef::SetText("COMMON_NUM_TAXRATE", "1000");
    }
};

TEST_F(OrderPageContent, ConfirmationShowsWhatEachOrderKindOrders)
{
    MakeFeesReady();
    CTextDef::SetText("B_N05_IDC_WEBBROWSER_1", "1:&申し込み内容;|&注意事項;|&利用料;|&利用料税込み;|&利用開始予定日;");
    CTextDef::SetText("B_N05_IDC_WEBBROWSER_2", "2:&申し込み内容;|&注意事項;|&SerialID;|&NickName;");
    const char* const elements[] = {"new", "add", "re1", "re2 &CURL;"};
    const char* const notes[] = {"n1", "n2", "n3", "n4"};
    for (int i = 0; i < 4; ++i) {
        CTextDef::SetText(("B_N05_ELM_P1_" + std::to_string(i + 1)).c_str(), elements[i]);
        CTextDef::SetText(("B_N05_ELM_P4_" + std::to_string(i + 1)).c_str(), notes[i]);
    }
    // One contract so far: the order adds the second, at 300 (330 with tax).
    AddAgreement("SEC1", "0", "1");
    AddAgreement("SEC0", "1", "9");
    context.response.serverTime = TimeOf(2026, 12, 11, 23);
    context.customer.SerialID = "S1";
    context.customer.NickName = "a <b>";

    CPreSignupDialog* page = Open(new CPreSignupDialog);
    ASSERT_NE(page, nullptr);
    struct Case {
        int kind;
        const char* document;  // null: nothing written
    };
    const Case cases[] = {
        {0, "1:new|n1|300|330|2026年12月11日"},
        {1, "1:add|n2|300|330|2026年12月11日"},
        {2, "2:re1|n3|S1|a&nbsp;&lt;b&gt;"},
        {3, "2:re2 http://127.0.0.1:9|n4|S1|a&nbsp;&lt;b&gt;"},
        // A kind without elements leaves their names standing.
        {4, "2:&申し込み内容;|&注意事項;|S1|a&nbsp;&lt;b&gt;"},
        {-1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const size_t before = WrittenDocuments(page).size();
        page->m_orderKind = c.kind;
        page->LoadBrowserContent(200);
        ASSERT_TRUE(Settle());
        if (!c.document) {
            EXPECT_EQ(WrittenDocuments(page).size(), before);
            continue;
        }
        EXPECT_EQ(WrittenDocuments(page).size(), before + 1);
        EXPECT_EQ(Html(page), c.document);
    }
}

TEST_F(OrderPageContent, ConfirmationWithoutFeeTableOrAnswerTimeShowsDashes)
{
    CTextDef::SetText("B_N05_IDC_WEBBROWSER_1", "&申し込み内容;|&利用料;|&利用料税込み;|&利用開始予定日;");
    // An element that names itself is not expanded again.
    CTextDef::SetText("B_N05_ELM_P1_1", "new &申し込み内容;");
    CPreSignupDialog* page = Open(new CPreSignupDialog);
    ASSERT_NE(page, nullptr);
    page->m_orderKind = 0;
    page->LoadBrowserContent(200);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Html(page), "new &申し込み内容;|-|-|---");
}

TEST_F(OrderPageContent, AcknowledgementShowsTheOrderedAgreementAndSerials)
{
    MakeFeesReady();
    CTextDef::SetText("B_N06_IDC_WEBBROWSER",
                      "&申し込み内容;|<ul>&ライセンスシリアル;</ul>|&利用料;|&利用料税込み;|&利用開始予定日;");
    CTextDef::SetText("B_N06_ELM_P1_1", "add");
    CTextDef::SetText("B_N06_ELM_P1_2", "new");
    // The row template is taken as it stands.
    CTextDef::SetText("B_N06_TMPL_SERIAL", "<li>&SerialID;&CURL;</li>");
    struct Agreement {
        const char* securityId;
        const char* agreementId;
    };
    struct Case {
        const char* name;
        std::vector<Agreement> agreements;
        const char* ordered;
        Strings selected;
        const char* document;
        const char* agreementId;
        bool basic;
        const char* serialId;
    };
    const Case cases[] = {
        {"new contract", {{"SEC1", "0"}}, "SEC1", {"S2", "S4"},
         "new|<ul><li>S2&CURL;</li><li>S4&CURL;</li></ul>|300|330|2026年12月20日", "0", true, "S2"},
        // The answer is searched from its end; three active contracts: the third costs 200.
        {"additional contract", {{"SEC1", "0"}, {"SEC2", "3"}, {"SEC2", "4"}}, "SEC2", {},
         "add|<ul></ul>|200|220|", "4", false, "S2"},
        {"selected serial missing from the answer", {{"SEC1", "0"}}, "SEC1", {"S9"},
         "new|<ul><li>S9&CURL;</li></ul>|300|330|", "0", true, "S9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        context.response.agreements.RemoveAll();
        context.response.serials.RemoveAll();
        for (const Agreement& agreement : c.agreements)
            AddAgreement(agreement.securityId, agreement.agreementId, "1");
        AddSerial("S1", 3);
        AddSerial("S2", 1, "", "2026-12-20 00:00:00");
        AddSerial("S4", 1);
        context.customer.orderedSecurityID = c.ordered;
        context.customer.selectedSerialIDs.RemoveAll();
        for (const std::string& id : c.selected)
            context.customer.selectedSerialIDs.Add(CString(id.c_str()));
        context.customer.SerialID = "OLD";

        CPostSignupDialog* page = Open(new CPostSignupDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Html(page), c.document);
        EXPECT_EQ(std::string(page->m_agreement.AgreementID), c.agreementId);
        EXPECT_EQ(page->m_basicAgreement, c.basic);
        EXPECT_EQ(std::string(context.customer.SerialID), c.serialId);
        EXPECT_EQ(std::string(context.errorCode), "");
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(OrderPageContent, AcknowledgementWithoutSelectionOrAwaitingSerialClearsTheSerial)
{
    CTextDef::SetText("B_N06_IDC_WEBBROWSER", "<p>&ライセンスシリアル;|&利用開始予定日;|&利用料;</p>");
    AddAgreement("SEC1", "0", "1");
    AddSerial("S1", 3);
    context.customer.orderedSecurityID = "SEC1";
    context.customer.SerialID = "OLD";
    CPostSignupDialog* page = Open(new CPostSignupDialog);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Html(page), "<p>||-</p>");
    EXPECT_EQ(std::string(context.customer.SerialID), "");
}

// Notes whether the page's window went while the browser's document event was running.
class WatchedPostSignupPage : public CPostSignupDialog {
public:
    BEGIN_MSG_MAP(WatchedPostSignupPage)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        CHAIN_MSG_MAP(CPostSignupDialog)
    END_MSG_MAP()

    void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url) override
    {
        ++s_eventDepth;
        CPostSignupDialog::DocumentComplete(browser, url);
        --s_eventDepth;
    }

    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        s_destroyed = true;
        s_destroyedInEvent = s_eventDepth > 0;
        handled = FALSE;
        return 0;
    }

    static int s_eventDepth;
    static bool s_destroyed;
    static bool s_destroyedInEvent;
};

int WatchedPostSignupPage::s_eventDepth = 0;
bool WatchedPostSignupPage::s_destroyed = false;
bool WatchedPostSignupPage::s_destroyedInEvent = false;

TEST_F(OrderPageContent, AcknowledgementWithoutTheOrderedAgreementGivesWayToTheErrorPageAfterTheEvent)
{
    AddAgreement("SEC1", "0", "1");
    context.customer.orderedSecurityID = "SEC2";
    WatchedPostSignupPage::s_destroyed = false;
    WatchedPostSignupPage::s_destroyedInEvent = false;
    CWBDialog* page = CreatePageWindow(new WatchedPostSignupPage, frame, &context);
    ASSERT_NE(page, nullptr);
    const HWND window = page->m_hWnd;
    ASSERT_TRUE(SettleWithPosted());

    EXPECT_TRUE(WatchedPostSignupPage::s_destroyed);
    EXPECT_FALSE(WatchedPostSignupPage::s_destroyedInEvent);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(std::string(context.errorCode), "E_UNEXPECTED");
    // The error page is the frame's one page now.
    std::vector<HWND> pages;
    for (HWND child = ::GetWindow(frame, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        pages.push_back(child);
    ASSERT_EQ(pages.size(), 1u);
    char retry[64] = {};
    ::GetDlgItemTextA(pages[0], IDC_RETRY, retry, sizeof retry);
    EXPECT_EQ(std::string(retry), std::string(CTextDef::GetText("ERR_IDC_RETRY")));
}

TEST_F(OrderPageContent, CancellationListsThePendingSerialsInTheirOrder)
{
    CTextDef::SetText("C_N01_IDC_WEBBROWSER", "<table>&解約される契約内容;</table>");
    CTextDef::SetText("C_N01_TMPL_SERIAL", "<u &NickName;:&SerialID;:&利用開始日;>");
    CTextDef::SetText("C_N01_TMPL_SERIAL_NOTUSED", "<n &NickName;:&SerialID;>");
    AddSerial("S1", 1, "x&y");
    AddSerial("S2", 0, "two");
    AddSerial("S3", 3, "", "2023-04-01T00:00:00");
    // The later of two entries with one SerialID is the one shown.
    AddSerial("S1", 5, "dup");
    CPreCancelDialog* page = Open(new CPreCancelDialog);
    ASSERT_NE(page, nullptr);

    struct Case {
        const char* name;
        Strings pending;
        const char* document;
    };
    const Case cases[] = {
        {"several, one missing from the answer", {"S3", "S9", "S1", "S2"},
         "<table><u :S3:2023年04月01日><u dup:S1:---><n two:S2></table>"},
        {"nothing pending", {}, "<table></table>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page->m_pendingSerials.RemoveAll();
        for (const std::string& id : c.pending)
            page->m_pendingSerials.Add(CString(id.c_str()));
        page->LoadBrowserContent(200);
        ASSERT_TRUE(Settle());
        EXPECT_EQ(Html(page), c.document);
    }

    // A row template that names the list keeps the name instead of recursing.
    CTextDef::SetText("C_N01_TMPL_SERIAL_NOTUSED", "<n &SerialID;&解約される契約内容;>");
    context.response.serials.RemoveAll();
    AddSerial("S1", 1);
    page->m_pendingSerials.RemoveAll();
    page->m_pendingSerials.Add(CString("S1"));
    EXPECT_EQ(std::string(page->BuildSerialList()), "<n S1&解約される契約内容;>");
}

TEST_F(OrderPageContent, BuiltInDocumentsNameOnlyWhatThePagesResolve)
{
    MakeFeesReady();
    AddAgreement("SEC1", "0", "1");
    AddSerial("S1", 1, "my pc", "2026-12-20");
    context.customer.orderedSecurityID = "SEC1";
    context.customer.selectedSerialIDs.Add(CString("S1"));
    context.customer.SerialID = "S1";
    context.customer.NickName = "my pc";
    context.response.serverTime = TimeOf(2026, 12, 11, 0);

    CPreSignupDialog* confirmation = Open(new CPreSignupDialog);
    ASSERT_NE(confirmation, nullptr);
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        confirmation->m_orderKind = kind;
        confirmation->LoadBrowserContent(200);
        ASSERT_TRUE(Settle());
        const std::string document = Html(confirmation);
        EXPECT_EQ(UnresolvedNames(document), Strings());
        // Every kind explains its order: the notes are not left empty.
        EXPECT_EQ(document.find("<p></p>"), std::string::npos);
    }

    CPostSignupDialog* acknowledgement = Open(new CPostSignupDialog);
    ASSERT_NE(acknowledgement, nullptr);
    EXPECT_EQ(UnresolvedNames(Html(acknowledgement)), Strings());

    CPreCancelDialog* cancellation = Open(new CPreCancelDialog);
    ASSERT_NE(cancellation, nullptr);
    cancellation->m_pendingSerials.Add(CString("S1"));
    cancellation->LoadBrowserContent(200);
    ASSERT_TRUE(Settle());
    const std::string document = Html(cancellation);
    EXPECT_EQ(UnresolvedNames(document), Strings());
    EXPECT_NE(document.find("S1"), std::string::npos);
}

}  // namespace
