// What the error page and the start page do with their buttons, and the statistics pings
// that pages send, on the page bench with the fake server and its order system.
#include "PageContentBench.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <typeinfo>

#include "CKAVODlg.h"
#include "CTextDef.h"
#include "pages/CCheckComputerDialog.h"
#include "pages/CEULADialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CSignupDialog.h"
#include "pages/CStartDialog.h"
#include "pages/CStatusDialog.h"

namespace {

const char kBackPing[] = "/contents/security/kavo/tm_count/w_e14_back_k.html";
const char kErrorClosePing[] = "/contents/security/kavo/tm_count/w_e14_close_k.html";
const char kTermsClosePing[] = "/contents/security/kavo/tm_count/b_n04_close_k.html";

class ErrorAndStartPage : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        context.customer.VeldinCommonID = "C0001";
        context.customer.AccessKey = "KEY0001";
    }

    void TearDown() override
    {
        PageContentBench::TearDown();
        if (!m_logPath.empty())
            ::DeleteFileA(m_logPath.c_str());
    }

    // The error page as a failed step leaves the context for it.
    CErrorDialog* OpenErrorPage(const char* errorCode, const char* resultCode = "", const char* counter = "")
    {
        context.errorCode = errorCode;
        context.response.ResultCode = resultCode;
        context.SetValue("ops_retry_counter", counter);
        return Open(new CErrorDialog);
    }

    void TraceToTempFile()
    {
        char folder[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, folder);
        std::string name = "kavo_stat_trace_" + std::to_string(::GetCurrentProcessId()) + ".log";
        m_logPath = std::string(folder) + name;
        ::DeleteFileA(m_logPath.c_str());
        context.traceLog.SetLogFile(folder, name.c_str());
    }

    std::string TraceText() const
    {
        std::ifstream file(m_logPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    std::string m_logPath;
};

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST_F(ErrorAndStartPage, ErrorPageOffersTheButtonsOfItsCodeInTheirPlaces)
{
    CTextDef::SetText("ERR_IDC_WEBBROWSER", "<p>[&ErrorCode;]</p>");
    // Nothing moves after a ResultCode that keeps the contract list: the template's places.
    CErrorDialog* reference = OpenErrorPage("", "1002");
    ASSERT_NE(reference, nullptr);
    const RECT back = ItemRect(reference, IDC_BACK);
    const RECT close = ItemRect(reference, ID_PAGE_CLOSE);
    DestroyPage(reference);
    const int width = close.right - close.left;
    const int height = close.bottom - close.top;
    RECT band;
    ::UnionRect(&band, &back, &close);
    const int centreLeft = band.left + (band.right - band.left - width) / 2;
    const int centreTop = band.top + (band.bottom - band.top - height) / 2;
    const RECT centredClose = {centreLeft, centreTop, centreLeft + width, centreTop + height};
    const RECT centredBack = {centreLeft, centreTop, centreLeft + back.right - back.left,
                              centreTop + back.bottom - back.top};

    enum Place { Stays, Centred, InClosePlace };
    struct Case {
        const char* errorCode;
        const char* resultCode;
        const char* counter;
        const char* pageCode;
        bool back, retry, close;
        Place moved;  // where the one button that moves (if any) ends
        int movedId;
    };
    static const Case kCases[] = {
        {"EWS1006", "", "", "EWS1006", true, true, false, InClosePlace, IDC_RETRY},
        {"EXG1003", "", "..", "EXG1003", true, true, false, InClosePlace, IDC_RETRY},
        {"EWS1004", "9999", "", "EWS1004", true, true, false, InClosePlace, IDC_RETRY},
        {"EWS1006", "", "...", "EWS1006T", true, false, false, Centred, IDC_BACK},
        {"EWS1004", "", "....", "EWS1004T", true, false, false, Centred, IDC_BACK},
        {"EXG2001", "", "", "EXG2001", false, false, true, Centred, ID_PAGE_CLOSE},
        {"EWS1002", "", "", "EWS1002", false, false, true, Centred, ID_PAGE_CLOSE},
        {"", "", "", "EXG0000", false, false, true, Centred, ID_PAGE_CLOSE},
        {"", "1002", "", "EWS1002", true, false, true, Stays, ID_PAGE_CLOSE},
        {"", "1008", "...", "EWS1008", true, false, true, Stays, IDC_BACK},
        {"", "0002", "", "EWS0002", false, false, true, Centred, ID_PAGE_CLOSE},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.errorCode) + "/" + c.resultCode + "/" + c.counter);
        CErrorDialog* page = OpenErrorPage(c.errorCode, c.resultCode, c.counter);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(std::string(page->m_pageCode), c.pageCode);
        EXPECT_EQ(ItemShown(page, IDC_BACK), c.back);
        EXPECT_EQ(ItemShown(page, IDC_RETRY), c.retry);
        EXPECT_EQ(ItemShown(page, ID_PAGE_CLOSE), c.close);
        const RECT moved = ItemRect(page, c.movedId);
        RECT expected = c.movedId == IDC_BACK ? back : close;
        if (c.moved == Centred)
            expected = c.movedId == IDC_BACK ? centredBack : centredClose;
        EXPECT_TRUE(moved == expected) << Describe(moved) << " instead of " << Describe(expected);
        // The content shows the page's code, not the context's.
        EXPECT_NE(Html(page).find(std::string("[") + c.pageCode + "]"), std::string::npos) << Html(page);
        DestroyPage(page);
    }
}

TEST_F(ErrorAndStartPage, ErrorPageBackRefreshesTheStatusAndLeadsToTheContractListOrANewErrorPage)
{
    struct Case {
        const char* errorCode;
        const char* script;  // the scripted answer to the refresh, "" for the model's
        const char* nextClass;
        const char* nextCode;  // the new error page's code
        int backPings;
    };
    const Case kCases[] = {
        {"EWS1004", "", typeid(CStatusDialog).name(), "", 1},
        {"EWS1006", "", typeid(CStatusDialog).name(), "", 0},
        {"EWS1004", "\"result\": \"0002\"", typeid(CErrorDialog).name(), "EWS0002", 1},
        {"EWS1003", "\"status\": 500", typeid(CErrorDialog).name(), "EXG0000", 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.errorCode) + " " + c.script);
        ASSERT_TRUE(Server().Reset());
        if (*c.script) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.script));
        }
        MakeFeesReady();
        CErrorDialog* page = OpenErrorPage(c.errorCode);
        ASSERT_NE(page, nullptr);
        const HWND window = page->m_hWnd;
        Click(page, IDC_BACK);
        EXPECT_FALSE(::IsWindow(window));
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(ClassOf(next), c.nextClass);
        EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        EXPECT_EQ(static_cast<CKAVODlgBase*>(next)->m_context, &context);
        if (*c.nextCode) {
            EXPECT_EQ(std::string(static_cast<CErrorDialog*>(next)->m_pageCode), c.nextCode);
        }
        EXPECT_EQ(Server().OrdersIds(), "1002");
        EXPECT_EQ(HitsAfterWaiting(kBackPing, c.backPings), c.backPings);
        if (c.backPings == 0) {
            // A ping that must not come gets the time to arrive all the same.
            ::Sleep(300);
            EXPECT_EQ(Server().Hits(kBackPing), 0);
        }
        DestroyPage(next);
    }
}

TEST_F(ErrorAndStartPage, ErrorPageRetryCountsAndRecreatesTheNamedPage)
{
    struct Case {
        const char* className;
        const char* counterBefore;
        const char* nextClass;
    };
    const Case kCases[] = {
        {"CSignupDialog", "", typeid(CSignupDialog).name()},
        {"CSignupDialog", "..", typeid(CSignupDialog).name()},
        // No page of that name: the wizard ends.
        {"", ".", "no page"},
        {"CNoSuchDialog", "", "no page"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.className) + "/" + c.counterBefore);
        context.SetValue("CErrorDialog::RetryClassname", c.className);
        CErrorDialog* page = OpenErrorPage("EWS1003", "", c.counterBefore);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(ItemShown(page, IDC_RETRY));
        Click(page, IDC_RETRY);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        if (next) {
            EXPECT_EQ(::GetParent(next->m_hWnd), frame);
            EXPECT_EQ(std::string(context.GetValue("ops_retry_counter")), std::string(c.counterBefore) + ".");
            DestroyPage(next);
        }
    }
}

TEST_F(ErrorAndStartPage, HiddenButtonsCommandsAreSwallowed)
{
    CErrorDialog* error = OpenErrorPage("EXG2001");
    ASSERT_NE(error, nullptr);
    context.SetValue("CErrorDialog::RetryClassname", "CSignupDialog");
    Click(error, IDC_RETRY);
    Click(error, IDC_BACK);
    CWBDialog* next = nullptr;
    EXPECT_FALSE(TakePageSentToFrame(&next));
    EXPECT_TRUE(::IsWindow(error->m_hWnd));
    EXPECT_EQ(std::string(context.GetValue("ops_retry_counter")), "");

    CStartDialog* start = Open(new CStartDialog);
    ASSERT_NE(start, nullptr);
    ::ShowWindow(::GetDlgItem(start->m_hWnd, IDC_NEXT), SW_HIDE);
    ::ShowWindow(::GetDlgItem(start->m_hWnd, IDC_BACK), SW_HIDE);
    Click(start, IDC_NEXT);
    Click(start, IDC_BACK);
    EXPECT_FALSE(TakePageSentToFrame(&next));
    EXPECT_TRUE(::IsWindow(start->m_hWnd));
    EXPECT_EQ(Server().OrdersIds(), "");
}

TEST_F(ErrorAndStartPage, ClosingSendsThePageCounterOnceAndTracesItWhenTheLogIsOn)
{
    struct Case {
        const char* errorCode;  // null: the licence-terms page
        bool trace;
        const char* path;
        int hits;
        const char* before;
        const char* after;
    };
    const Case kCases[] = {
        {"EWS1004", true, kErrorClosePing, 1, "統計情報スレッド開始(W_E14_1：同期)", "統計情報スレッド完了(W_E14_1)"},
        {"EWS1004", false, kErrorClosePing, 1, nullptr, nullptr},
        {"EWS1006", true, kErrorClosePing, 0, nullptr, nullptr},
        {"ews1004", true, kErrorClosePing, 0, nullptr, nullptr},
        {nullptr, true, kTermsClosePing, 1, "統計情報スレッド開始(W_E14_2：同期)", "統計情報スレッド完了(W_E14_2)"},
        {nullptr, false, kTermsClosePing, 1, nullptr, nullptr},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.errorCode ? c.errorCode : "terms") + (c.trace ? " traced" : ""));
        ASSERT_TRUE(Server().Reset());
        if (c.trace)
            TraceToTempFile();
        else
            context.traceLog.SetPattern("");
        CWBDialog* page = nullptr;
        if (c.errorCode)
            page = OpenErrorPage(c.errorCode);
        else
            page = Open(new CEULADialog);
        ASSERT_NE(page, nullptr);
        page->SendStatistics();
        // The close waits for the ping: it has reached the server when the call returns.
        EXPECT_EQ(Server().Hits(c.path), c.hits);
        EXPECT_EQ(Server().Hits(c.path == kErrorClosePing ? kTermsClosePing : kErrorClosePing), 0);
        const std::string trace = c.trace ? TraceText() : "";
        if (c.before) {
            const size_t before = trace.find(c.before);
            const size_t after = trace.find(c.after);
            ASSERT_NE(before, std::string::npos) << trace;
            ASSERT_NE(after, std::string::npos) << trace;
            EXPECT_LT(before, after);
        } else {
            EXPECT_EQ(trace.find("統計情報スレッド"), std::string::npos) << trace;
        }
        DestroyPage(page);
        context.traceLog.SetPattern("");
    }
}

TEST_F(ErrorAndStartPage, StartPageHeadingNamesTheChosenFlow)
{
    struct Case {
        const char* order;
        int agreements;  // 0: none, 1: the customer's contract first, 2: another first
        const char* key;  // null: no heading set
    };
    static const Case kCases[] = {
        {"新規契約", 1, "B_N01_IDC_STATIC1_1"},
        {"追加契約", 1, "B_N01_IDC_STATIC1_3"},
        {"インストール", 1, "B_N01_IDC_STATIC1_2"},
        {"インストール", 2, "B_N01_IDC_STATIC1_3"},
        {"インストール", 0, "B_N01_IDC_STATIC1_3"},
        {"再インストール", 1, "B_N01_IDC_STATIC1_4"},
        {"再インストール", 2, "B_N01_IDC_STATIC1_5"},
        {"再インストール", 0, "B_N01_IDC_STATIC1_5"},
        {"その他", 1, nullptr},
        {nullptr, 1, nullptr},
    };
    static const char* const kHeadings[] = {"B_N01_IDC_STATIC1_1", "B_N01_IDC_STATIC1_2", "B_N01_IDC_STATIC1_3",
                                            "B_N01_IDC_STATIC1_4", "B_N01_IDC_STATIC1_5"};
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.order ? c.order : "(absent)") + " " + std::to_string(c.agreements));
        context.values.RemoveAll();
        if (c.order)
            context.SetValue("AN08_ORDER", c.order);
        context.response.agreements.RemoveAll();
        context.customer.SecurityID = "SEC1";
        if (c.agreements) {
            // Only the first entry counts, even when a later one is the customer's.
            AddAgreement(c.agreements == 1 ? "SEC1" : "SEC2", "1", "2");
            AddAgreement("SEC1", "2", "2");
        }
        CStartDialog* page = Open(new CStartDialog);
        ASSERT_NE(page, nullptr);
        const std::string heading = ItemText(page, IDC_STATIC1);
        if (c.key) {
            EXPECT_EQ(heading, std::string(CTextDef::GetText(c.key)));
        } else {
            for (const char* key : kHeadings)
                EXPECT_NE(heading, std::string(CTextDef::GetText(key)));
        }
        // An absent order is kept as an empty one.
        EXPECT_NE(context.values.Lookup(CString("AN08_ORDER")), nullptr);
        DestroyPage(page);
    }
}

TEST_F(ErrorAndStartPage, StartPageNextGoesToThePcCheckAndBackToTheRefreshedContractList)
{
    struct Case {
        int button;
        const char* script;
        const char* nextClass;
        const char* requests;
    };
    const Case kCases[] = {
        {IDC_NEXT, "", typeid(CCheckComputerDialog).name(), ""},
        {IDC_BACK, "", typeid(CStatusDialog).name(), "1002"},
        {IDC_BACK, "\"result\": \"0002\"", typeid(CErrorDialog).name(), "1002"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.nextClass) + " " + c.script);
        ASSERT_TRUE(Server().Reset());
        MakeFeesReady();
        if (*c.script) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.script));
        }
        context.SetValue("AN08_ORDER", "新規契約");
        CStartDialog* page = Open(new CStartDialog);
        ASSERT_NE(page, nullptr);
        const HWND window = page->m_hWnd;
        Click(page, c.button);
        EXPECT_FALSE(::IsWindow(window));
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        EXPECT_EQ(static_cast<CKAVODlgBase*>(next)->m_context, &context);
        EXPECT_EQ(Server().OrdersIds(), c.requests);
        DestroyPage(next);
    }
}

}  // namespace
