// What the cancellation confirmation and its closing page do: the chain of cancellation
// requests to the fake order system, its failures, the texts chosen by the whole-contract
// flag and the buttons that lead on.
#include "PageContentBench.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <typeinfo>
#include <vector>

#include "CKAVODlg.h"
#include "CTextDef.h"
#include "pages/CErrorDialog.h"
#include "pages/CModifyStatusDialog.h"
#include "pages/CPostCancelDialog.h"
#include "pages/CPreCancelDialog.h"
#include "pages/CStatusDialog.h"

namespace {

const char kWholeContract[] = "全解約";
const char kChosenSerials[] = "解約";

template <typename Page>
std::string ClassName()
{
    return typeid(Page).name();
}

std::string Text(const char* key)
{
    return CTextDef::GetText(key).GetString();
}

class CancelPages : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        context.customer.VeldinCommonID = "C0001";
        context.customer.AccessKey = "KEY0001";
        context.customer.SerialID = "";
        context.errorCode = "";
        context.response.ResultCode = "";
        // The fake knows the three serials, so each may be cancelled.
        ASSERT_TRUE(Server().OrdersModel(
            "\"agreements\": [{\"SecurityID\": \"S0001\", \"AgreementID\": \"0\", \"SecurityStatus\": \"2\"}],"
            "\"serials\": [{\"SerialID\": \"a\", \"SerialStatus\": 2}, {\"SerialID\": \"b\", \"SerialStatus\": 4},"
            "{\"SerialID\": \"c\", \"SerialStatus\": 0}]"));
        AddSerial("a", 2, "first", "20260401");
        AddSerial("b", 4, "second", "20260501");
        AddSerial("c", 0, "third");
    }

    CPreCancelDialog* OpenConfirmation(const char* serials, const char* order)
    {
        context.SetValue("CANCEL_SERIALS", serials);
        context.SetValue("AN08_ORDER", order);
        return Open(new CPreCancelDialog);
    }

    CPostCancelDialog* OpenClosingPage(const char* order)
    {
        context.SetValue("AN08_ORDER", order);
        return Open(new CPostCancelDialog);
    }

    // Runs the thread's messages (the requests' ends among them) until a page is handed over
    // to the frame; false when none is within timeoutMs.
    bool WaitForPageSentToFrame(CWBDialog** page, DWORD timeoutMs = 20000)
    {
        const DWORD start = ::GetTickCount();
        for (;;) {
            if (TakePageSentToFrame(page))
                return true;
            MSG message;
            if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.hwnd == frame && message.message == WM_KAVO_PAGE) {
                    EXPECT_EQ(message.wParam, WPARAM(PAGECMD_SETPAGE));
                    *page = reinterpret_cast<CWBDialog*>(message.lParam);
                    return true;
                }
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
                continue;
            }
            if (::GetTickCount() - start > timeoutMs)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
    }

    // The SerialID field of each request the fake received, in order.
    static std::vector<std::string> SentSerialIds(size_t count)
    {
        std::vector<std::string> serials;
        for (size_t i = 0; i < count; ++i)
            serials.push_back(Server().OrdersField("SerialID", int(i)));
        return serials;
    }

    static std::vector<std::string> Pending(const CPreCancelDialog* page)
    {
        std::vector<std::string> serials;
        for (int i = 0; i < page->m_pendingSerials.GetSize(); ++i)
            serials.push_back(page->m_pendingSerials[i].GetString());
        return serials;
    }
};

TEST_F(CancelPages, NextSendsOneRequestPerSerialOrOneForTheWholeContractThenShowsTheClosingPage)
{
    struct Case {
        const char* serials;
        const char* order;
        std::vector<std::string> pending;  // the page's list once it is shown
        const char* ids;                   // requests the fake received
        std::vector<std::string> sentSerials;
        const char* contextSerial;  // the customer data's SerialID at the end
    };
    const Case kCases[] = {
        {"a,b,c", kChosenSerials, {"a", "b", "c"}, "1009,1009,1009", {"a", "b", "c"}, "c"},
        {"a,,b,", kChosenSerials, {"a", "b"}, "1009,1009", {"a", "b"}, "b"},
        // The whole contract goes at once; no serial is named for it.
        {"a,b,c", kWholeContract, {"a", "b", "c"}, "1008", {""}, ""},
        {"", kChosenSerials, {}, "", {}, ""},
        {",,", kChosenSerials, {}, "", {}, ""},
        {"", kWholeContract, {}, "", {}, ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.serials) + " " + c.order);
        ASSERT_TRUE(Server().Reset());
        ASSERT_TRUE(Server().OrdersModel("\"serials\": [{\"SerialID\": \"a\", \"SerialStatus\": 2},"
                                         "{\"SerialID\": \"b\", \"SerialStatus\": 4},"
                                         "{\"SerialID\": \"c\", \"SerialStatus\": 0}]"));
        context.customer.SerialID = "";
        CPreCancelDialog* page = OpenConfirmation(c.serials, c.order);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Pending(page), c.pending);
        EXPECT_EQ(page->m_allFlag != FALSE, std::string(c.order) == kWholeContract);
        // The rows of the confirmation list the pending serials in their order.
        const std::string html = Html(page);
        size_t at = 0;
        for (const std::string& serial : c.pending) {
            const size_t found = html.find("<td>" + serial + "</td>", at);
            EXPECT_NE(found, std::string::npos) << serial << " in " << html;
            at = found == std::string::npos ? at : found;
        }
        EXPECT_EQ(Server().OrdersIds(), "");

        Click(page, IDC_NEXT);
        EXPECT_FALSE(ItemEnabled(page, IDC_BACK));
        EXPECT_FALSE(ItemEnabled(page, IDC_NEXT));
        CWBDialog* next = nullptr;
        ASSERT_TRUE(WaitForPageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), ClassName<CPostCancelDialog>());
        EXPECT_EQ(Server().OrdersIds(), c.ids);
        EXPECT_EQ(SentSerialIds(c.sentSerials.size()), c.sentSerials);
        EXPECT_EQ(std::string(context.customer.SerialID), c.contextSerial);
        EXPECT_EQ(context.errorCode.GetLength(), 0) << context.errorCode.GetString();
        if (next) {
            EXPECT_EQ(::GetParent(next->m_hWnd), frame);
            DestroyPage(next);
        }
    }
}

TEST_F(CancelPages, AFailedRequestEndsTheChainOnTheErrorPageThoughAnEarlierAnswerLeftResultCode0000)
{
    struct Case {
        const char* name;
        const char* order;
        std::vector<const char*> scripts;  // answers of the requests in turn, "" for the model's
        const char* ids;
        const char* pageCode;
    };
    const Case kCases[] = {
        {"second cancellation refused", kChosenSerials, {"", "\"result\": \"0005\""}, "1009,1009", "EWS0005"},
        {"second cancellation transport", kChosenSerials, {"", "\"status\": 500"}, "1009,1009", "EXG0000"},
        {"second answer unreadable", kChosenSerials, {"", "\"body\": \"not xml\""}, "1009,1009", "EXG0000"},
        {"first cancellation refused", kChosenSerials, {"\"result\": \"0002\""}, "1009", "EWS0002"},
        {"whole contract transport", kWholeContract, {"\"status\": 500"}, "1008", "EXG0000"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Server().Reset());
        ASSERT_TRUE(Server().OrdersModel("\"serials\": [{\"SerialID\": \"a\", \"SerialStatus\": 2},"
                                         "{\"SerialID\": \"b\", \"SerialStatus\": 4},"
                                         "{\"SerialID\": \"c\", \"SerialStatus\": 0}]"));
        const char* id = std::string(c.order) == kWholeContract ? "1008" : "1009";
        for (const char* script : c.scripts) {
            ASSERT_TRUE(*script ? Server().OrdersScript(id, script) : Server().OrdersScript(id, "\"times\": 1"));
        }
        CPreCancelDialog* page = OpenConfirmation("a,b,c", c.order);
        ASSERT_NE(page, nullptr);
        // What the status request before the confirmation left.
        context.errorCode = "";
        context.response.ResultCode = "0000";
        Click(page, IDC_NEXT);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(WaitForPageSentToFrame(&next));
        ASSERT_EQ(ClassOf(next), ClassName<CErrorDialog>());
        EXPECT_EQ(std::string(static_cast<CErrorDialog*>(next)->m_pageCode), c.pageCode);
        EXPECT_EQ(Server().OrdersIds(), c.ids);
        DestroyPage(next);
    }
}

TEST_F(CancelPages, OnlyTheRunningRequestsEndMovesTheChainOn)
{
    // The first cancellation is slow, so its end is still awaited when the stray ends come.
    ASSERT_TRUE(Server().OrdersScript("1009", "\"delay\": 1"));
    CPreCancelDialog* page = OpenConfirmation("a,b", kChosenSerials);
    ASSERT_NE(page, nullptr);
    // A start or a request end that nobody asked for before Next moves nothing.
    ::SendMessageA(page->m_hWnd, WM_KAVO_REQUESTDONE, WPARAM(-1), 0);
    ASSERT_TRUE(SettleWithPosted());
    EXPECT_EQ(Server().OrdersIds(), "");

    Click(page, IDC_NEXT);
    ASSERT_TRUE(SettleWithPosted());
    ASSERT_NE(page->m_request, nullptr);
    // An earlier answer's "0000" is in the context; neither a foreign end nor a second start
    // may take it for the end of the running cancellation.
    static int foreign;
    ::SendMessageA(page->m_hWnd, WM_KAVO_REQUESTDONE, WPARAM(-1), reinterpret_cast<LPARAM>(&foreign));
    ::SendMessageA(page->m_hWnd, WM_KAVO_REQUESTDONE, WPARAM(-1), 0);
    CWBDialog* next = nullptr;
    EXPECT_FALSE(TakePageSentToFrame(&next));
    EXPECT_EQ(Pending(page), std::vector<std::string>{"b"});
    EXPECT_EQ(std::string(context.customer.SerialID), "a");

    ASSERT_TRUE(WaitForPageSentToFrame(&next));
    EXPECT_EQ(ClassOf(next), ClassName<CPostCancelDialog>());
    EXPECT_EQ(Server().OrdersIds(), "1009,1009");
    EXPECT_EQ(SentSerialIds(2), (std::vector<std::string>{"a", "b"}));
    if (next)
        DestroyPage(next);
}

TEST_F(CancelPages, APageClosedDuringACancellationWaitsForItAndIsToldNothingAfterwards)
{
    ASSERT_TRUE(Server().OrdersScript("1009", "\"delay\": 1"));
    CPreCancelDialog* page = OpenConfirmation("a,b", kChosenSerials);
    ASSERT_NE(page, nullptr);
    Click(page, IDC_NEXT);
    ASSERT_TRUE(SettleWithPosted());
    ASSERT_NE(page->m_request, nullptr);
    const HWND window = page->m_hWnd;
    DestroyPage(page);
    EXPECT_FALSE(::IsWindow(window));
    // The request ended before the page object went, and the rest of the chain went with it.
    EXPECT_EQ(Server().OrdersIds(), "1009");
    ::Sleep(300);
    ASSERT_TRUE(SettleWithPosted());
    EXPECT_EQ(Server().OrdersIds(), "1009");
    CWBDialog* next = nullptr;
    EXPECT_FALSE(TakePageSentToFrame(&next));
}

TEST_F(CancelPages, BackLeavesTheConfirmationForTheModifyPageWithoutARequest)
{
    CPreCancelDialog* page = OpenConfirmation("a,b", kChosenSerials);
    ASSERT_NE(page, nullptr);
    const HWND window = page->m_hWnd;
    Click(page, IDC_BACK);
    EXPECT_FALSE(::IsWindow(window));
    CWBDialog* next = nullptr;
    ASSERT_TRUE(TakePageSentToFrame(&next));
    EXPECT_EQ(ClassOf(next), ClassName<CModifyStatusDialog>());
    EXPECT_EQ(Server().OrdersIds(), "");
    if (next) {
        EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        DestroyPage(next);
    }
}

TEST_F(CancelPages, HeadingAndClosingTextFollowTheWholeContractFlag)
{
    struct Case {
        const char* order;
        const char* heading;
        const char* closing;
    };
    const Case kCases[] = {
        {kWholeContract, "C_N01_IDC_STATIC2_1", "C_N02_IDC_STATIC1_1"},
        {kChosenSerials, "C_N01_IDC_STATIC2_2", "C_N02_IDC_STATIC1_2"},
        {"", "C_N01_IDC_STATIC2_2", "C_N02_IDC_STATIC1_2"},
    };
    // Entities in the texts are expanded.
    CTextDef::SetText("C_N01_IDC_STATIC2_1", "&KAVOEXE;: all");
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.order);
        CPreCancelDialog* confirmation = OpenConfirmation("a", c.order);
        ASSERT_NE(confirmation, nullptr);
        const std::string heading = ItemText(confirmation, IDC_STATIC2);
        if (Text(c.heading) == "&KAVOEXE;: all") {
            const std::string tail = "\\kavo.exe: all";
            EXPECT_GT(heading.size(), tail.size());
            EXPECT_EQ(heading.substr(heading.size() - std::min(heading.size(), tail.size())), tail) << heading;
        } else {
            EXPECT_EQ(heading, Text(c.heading));
        }
        DestroyPage(confirmation);

        CPostCancelDialog* closing = OpenClosingPage(c.order);
        ASSERT_NE(closing, nullptr);
        EXPECT_FALSE(Text(c.closing).empty());
        EXPECT_EQ(ItemText(closing, IDC_STATIC1), Text(c.closing));
        EXPECT_EQ(ItemText(closing, IDC_STATIC2), Text("C_N02_IDC_STATIC2"));
        DestroyPage(closing);
    }
}

TEST_F(CancelPages, EndButtonEndsTheWizardAndRemovesTheRunOnceValueAtExit)
{
    context.cleanupFlags = CLEANUP_DOWNLOAD_TMP;
    CPostCancelDialog* page = OpenClosingPage(kChosenSerials);
    ASSERT_NE(page, nullptr);
    const HWND window = page->m_hWnd;
    Click(page, IDC_END);
    EXPECT_FALSE(::IsWindow(window));
    CWBDialog* next = reinterpret_cast<CWBDialog*>(1);
    ASSERT_TRUE(TakePageSentToFrame(&next));
    EXPECT_EQ(next, nullptr);
    EXPECT_EQ(context.cleanupFlags, DWORD(CLEANUP_DOWNLOAD_TMP | CLEANUP_RUNONCE));
    EXPECT_EQ(Server().OrdersIds(), "");
}

TEST_F(CancelPages, ContractListButtonShowsTheRefreshedStatusOrTheErrorPage)
{
    struct Case {
        const char* script;  // the scripted answer to the refresh, "" for the model's
        std::string nextClass;
    };
    const Case kCases[] = {
        {"", ClassName<CStatusDialog>()},
        {"\"result\": \"0002\"", ClassName<CErrorDialog>()},
        {"\"status\": 500", ClassName<CErrorDialog>()},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.script);
        ASSERT_TRUE(Server().Reset());
        if (*c.script) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.script));
        }
        MakeFeesReady();
        CPostCancelDialog* page = OpenClosingPage(kChosenSerials);
        ASSERT_NE(page, nullptr);
        Click(page, IDC_BACK);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        EXPECT_EQ(Server().OrdersIds(), "1002");
        if (next) {
            EXPECT_EQ(::GetParent(next->m_hWnd), frame);
            DestroyPage(next);
        }
    }
}

}  // namespace
