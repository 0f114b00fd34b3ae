// What the order confirmation, the order page, the named-request page and the order-done
// page do with their buttons and their requests, on the page bench with the fake order system.
#include "PageContentBench.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "CKAVODlg.h"
#include "CTextDef.h"
#include "pages/COPSProgressDialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CPostSignupDialog.h"
#include "pages/CPreSignupDialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CSignupDialog.h"
#include "pages/CStatusDialog.h"

namespace {

const char kApplyPing[] = "/contents/security/kavo/tm_count/b_n05_apply_k.html";
const char kCancelPing[] = "/contents/security/kavo/tm_count/b_n05_cancel_k.html";
const char kNewContract[] = "新規契約";
const char kAdditionalContract[] = "追加契約";
const char kReinstall[] = "再インストール";

template <typename Page>
std::string ClassName()
{
    return typeid(Page).name();
}

// The pixels of a bitmap; empty for none.
std::vector<BYTE> PixelsOf(HBITMAP bitmap)
{
    DIBSECTION section = {};
    if (!bitmap || ::GetObjectA(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits)
        return {};
    const BYTE* bits = static_cast<const BYTE*>(section.dsBm.bmBits);
    return std::vector<BYTE>(bits, bits + section.dsBm.bmWidthBytes * section.dsBm.bmHeight);
}

std::vector<BYTE> ResourcePixels(UINT id)
{
    const HBITMAP bitmap = static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    std::vector<BYTE> pixels = PixelsOf(bitmap);
    if (bitmap)
        ::DeleteObject(bitmap);
    return pixels;
}

class OrderPages : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        // Equal busy-time bounds: the plain limit, whatever the server's clock says.
        CTextDef::SetText("COMMON_CFG_OPS_BUSYTIME_START", "0000");
        CTextDef::SetText("COMMON_CFG_OPS_BUSYTIME_END", "0000");
        CTextDef::SetText("COMMON_CFG_OPS_POLLINGINTERVAL", "1");
        context.autoFlow = 0;
        context.customer.VeldinCommonID = "C0001";
        context.customer.AccessKey = "KEY0001";
    }

    static void StartNotice(const CWBDialog* page) { ::SendMessageA(page->m_hWnd, WM_KAVO_PAGE, PAGECMD_START, 0); }

    // Runs the thread's messages (the request's end among them) until a page is handed over
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

    // The order page started on the frame, as the confirmation leaves the context for it.
    CSignupDialog* StartOrderPage(const char* order)
    {
        context.SetValue("AN08_ORDER", order);
        CSignupDialog* page = Open(new CSignupDialog);
        if (page)
            StartNotice(page);
        return page;
    }

    // Order ids the fake order system received, one by one.
    static std::vector<std::string> OrderIds()
    {
        std::vector<std::string> ids;
        const std::string all = Server().OrdersIds();
        for (size_t at = 0; at < all.size();) {
            const size_t comma = all.find(',', at);
            const size_t end = comma == std::string::npos ? all.size() : comma;
            ids.push_back(all.substr(at, end - at));
            at = end + 1;
        }
        return ids;
    }
};

TEST_F(OrderPages, ConfirmationShowsTheMarkAndHeadingOfItsOrderKind)
{
    struct Case {
        const char* order;  // null: no value
        int agreements;     // 0: none, 1: the customer's contract first, 2: another first
        int kind;
        UINT bitmap;  // 0: no mark
        const char* heading;
    };
    const Case kCases[] = {
        {kNewContract, 1, 0, IDB_NOTICE_ORDER, "B_N05_IDC_STATIC1_1"},
        {kAdditionalContract, 2, 1, IDB_NOTICE_ORDER, "B_N05_IDC_STATIC1_1"},
        {kReinstall, 1, 2, IDB_NOTICE_WARNING, "B_N05_IDC_STATIC1_2"},
        {kReinstall, 2, 3, IDB_NOTICE_WARNING, "B_N05_IDC_STATIC1_2"},
        // No agreement listed: the customer's own is not the first, so another is re-installed.
        {kReinstall, 0, 3, IDB_NOTICE_WARNING, "B_N05_IDC_STATIC1_2"},
        {"インストール", 1, 0, 0, "B_N05_IDC_STATIC1_1"},
        {nullptr, 1, 0, 0, "B_N05_IDC_STATIC1_1"},
    };
    ASSERT_FALSE(ResourcePixels(IDB_NOTICE_ORDER).empty());
    ASSERT_NE(ResourcePixels(IDB_NOTICE_ORDER), ResourcePixels(IDB_NOTICE_WARNING));
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.order ? c.order : "(absent)") + " " + std::to_string(c.agreements));
        context.values.RemoveAll();
        if (c.order)
            context.SetValue("AN08_ORDER", c.order);
        context.customer.SecurityID = "SEC1";
        context.response.agreements.RemoveAll();
        if (c.agreements) {
            // Only the first entry counts, even when a later one is the customer's.
            AddAgreement(c.agreements == 1 ? "SEC1" : "SEC2", "1", "2");
            AddAgreement("SEC1", "2", "2");
        }
        CPreSignupDialog* page = Open(new CPreSignupDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->m_orderKind, c.kind);
        const HBITMAP shown =
            reinterpret_cast<HBITMAP>(::SendDlgItemMessageA(page->m_hWnd, IDC_IMAGE, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (c.bitmap) {
            EXPECT_EQ(PixelsOf(shown), ResourcePixels(c.bitmap));
        } else {
            EXPECT_EQ(shown, nullptr);
        }
        EXPECT_EQ(ItemText(page, IDC_STATIC1), std::string(CTextDef::GetText(c.heading)));
        DestroyPage(page);
    }
}

TEST_F(OrderPages, ConfirmationApplyPingsAndGoesOnToRegistrationOrAFreshOrder)
{
    struct Case {
        const char* order;
        std::string nextClass;
        const char* counterAfter;
    };
    const Case kCases[] = {
        {kNewContract, ClassName<CSignupDialog>(), ""},
        {kAdditionalContract, ClassName<CSignupDialog>(), ""},
        // A re-installation orders nothing: its retry count is not this page's to reset.
        {kReinstall, ClassName<CRegClientDialog>(), ".."},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.order);
        ASSERT_TRUE(Server().Reset());
        context.SetValue("AN08_ORDER", c.order);
        context.SetValue("ops_retry_counter", "..");
        CPreSignupDialog* page = Open(new CPreSignupDialog);
        ASSERT_NE(page, nullptr);
        const HWND window = page->m_hWnd;
        Click(page, IDC_SIGNUP);
        EXPECT_FALSE(::IsWindow(window));
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        EXPECT_EQ(std::string(context.GetValue("ops_retry_counter")), c.counterAfter);
        EXPECT_EQ(HitsAfterWaiting(kApplyPing, 1), 1);
        EXPECT_EQ(Server().Hits(kCancelPing), 0);
        // The order page orders once it is shown, not before.
        EXPECT_EQ(Server().OrdersIds(), "");
        if (next)
            DestroyPage(next);
    }
}

TEST_F(OrderPages, ConfirmationCancelPingsAndShowsTheRefreshedContractListOrTheErrorPage)
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
        context.SetValue("AN08_ORDER", kNewContract);
        CPreSignupDialog* page = Open(new CPreSignupDialog);
        ASSERT_NE(page, nullptr);
        Click(page, IDCANCEL);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(ClassOf(next), c.nextClass);
        EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        EXPECT_EQ(Server().OrdersIds(), "1002");
        EXPECT_EQ(HitsAfterWaiting(kCancelPing, 1), 1);
        EXPECT_EQ(Server().Hits(kApplyPing), 0);
        DestroyPage(next);
    }
}

TEST_F(OrderPages, OrderPollsUntilItsWorkIsDoneAndShowsTheOrderDonePage)
{
    struct Case {
        const char* order;
        const char* orderId;
        int pollsUntilDone;
        LONG runMode;
        std::string nextClass;
    };
    const Case kCases[] = {
        {kNewContract, "1003", 2, 0, ClassName<CPostSignupDialog>()},
        {kAdditionalContract, "1004", 1, 0, ClassName<CPostSignupDialog>()},
        // Run mode 3 goes straight on to the registration.
        {kNewContract, "1003", 1, 3, ClassName<CRegClientDialog>()},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.orderId) + " run mode " + std::to_string(c.runMode));
        ASSERT_TRUE(Server().Reset());
        // The new serial awaits its installation, so the registration page has one to show.
        ASSERT_TRUE(Server().OrdersModel("\"polls_until_done\": " + std::to_string(c.pollsUntilDone) +
                                         ", \"serials\": [{\"SerialID\": \"SN000201\", \"SerialStatus\": 1}]"));
        context.runMode = c.runMode;
        context.SetValue("CErrorDialog::RetryClassname", "");
        CSignupDialog* page = StartOrderPage(c.order);
        ASSERT_NE(page, nullptr);
        const LONG style = ::GetWindowLongA(::GetDlgItem(page->m_hWnd, IDC_PROGRESS), GWL_STYLE);
        EXPECT_NE(style & PBS_MARQUEE, 0);
        EXPECT_EQ(std::string(context.GetValue("CErrorDialog::RetryClassname")), "CSignupDialog");
        CWBDialog* next = nullptr;
        ASSERT_TRUE(WaitForPageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        EXPECT_EQ(context.errorCode.GetLength(), 0) << context.errorCode.GetString();
        std::vector<std::string> expected(1, c.orderId);
        expected.resize(1 + c.pollsUntilDone, "1002");
        EXPECT_EQ(OrderIds(), expected);
        if (next) {
            EXPECT_EQ(::GetParent(next->m_hWnd), frame);
            DestroyPage(next);
        }
    }
    context.runMode = 0;
}

TEST_F(OrderPages, FailedOrderGoesToTheErrorPageThoughAnEarlierAnswerLeftResultCode0000)
{
    struct Case {
        const char* name;
        const char* order;
        const char* timeout;
        int pollsUntilDone;
        std::vector<std::pair<const char*, const char*>> scripts;  // request id, members
        const char* pageCode;
    };
    const Case kCases[] = {
        {"transport", kNewContract, "90", 2, {{"1003", "\"status\": 500"}}, "EXG0000"},
        {"unreadable answer", kNewContract, "90", 2, {{"1003", "\"body\": \"not xml\""}}, "EXG0000"},
        {"order refused", kAdditionalContract, "90", 2, {{"1004", "\"result\": \"0002\""}}, "EWS0002"},
        // The polls answered "0000"; only the client's own code tells the order failed.
        {"poll time-out", kNewContract, "1", 1000, {}, "EXG1003"},
        {"poll time-out", kAdditionalContract, "1", 1000, {}, "EXG1004"},
        {"poll fails after a good one", kNewContract, "90", 5,
         {{"1002", "\"result\": \"0000\""}, {"1002", "\"status\": 500"}}, "EXG0000"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Server().Reset());
        // The new serial awaits its installation, so the registration page has one to show.
        ASSERT_TRUE(Server().OrdersModel("\"polls_until_done\": " + std::to_string(c.pollsUntilDone) +
                                         ", \"serials\": [{\"SerialID\": \"SN000201\", \"SerialStatus\": 1}]"));
        for (const auto& script : c.scripts) {
            ASSERT_TRUE(Server().OrdersScript(script.first, script.second));
        }
        CTextDef::SetText("COMMON_CFG_OPS_TIMEOUT", c.timeout);
        // What the status request before the order left.
        context.errorCode = "";
        context.response.ResultCode = "0000";
        context.SetValue("ops_retry_counter", "");
        CSignupDialog* page = StartOrderPage(c.order);
        ASSERT_NE(page, nullptr);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(WaitForPageSentToFrame(&next));
        ASSERT_EQ(ClassOf(next), ClassName<CErrorDialog>());
        EXPECT_EQ(std::string(static_cast<CErrorDialog*>(next)->m_pageCode), c.pageCode);
        DestroyPage(next);
    }
}

TEST_F(OrderPages, OrderRetriesOnlyPollAndEndInTheFinalMessageAfterThree)
{
    CTextDef::SetText("COMMON_CFG_OPS_TIMEOUT", "1");
    ASSERT_TRUE(Server().OrdersModel("\"polls_until_done\": 1000"));
    context.SetValue("ops_retry_counter", "");
    CWBDialog* page = StartOrderPage(kAdditionalContract);
    ASSERT_NE(page, nullptr);
    const char* const kCodes[] = {"EXG1004", "EXG1004", "EXG1004", "EXG1004T"};
    for (const char* code : kCodes) {
        SCOPED_TRACE(code);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(WaitForPageSentToFrame(&next));
        ASSERT_EQ(ClassOf(next), ClassName<CErrorDialog>());
        CErrorDialog* error = static_cast<CErrorDialog*>(next);
        EXPECT_EQ(std::string(error->m_pageCode), code);
        ASSERT_TRUE(SettleWithPosted());
        if (!ItemShown(error, IDC_RETRY)) {
            EXPECT_EQ(std::string(code), "EXG1004T");
            DestroyPage(error);
            break;
        }
        Click(error, IDC_RETRY);
        ASSERT_TRUE(TakePageSentToFrame(&next));
        ASSERT_EQ(ClassOf(next), ClassName<CSignupDialog>());
        EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        ASSERT_TRUE(SettleWithPosted());
        StartNotice(next);
    }
    // The order went out once; every retry only asked for its status.
    const std::vector<std::string> ids = OrderIds();
    ASSERT_GE(ids.size(), 5u);
    EXPECT_EQ(ids[0], "1004");
    for (size_t i = 1; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], "1002") << i;
    EXPECT_EQ(std::string(context.GetValue("ops_retry_counter")), "...");
}

TEST_F(OrderPages, RetriedOrderMovesOnOnceThePolledWorkIsDone)
{
    CTextDef::SetText("COMMON_CFG_OPS_TIMEOUT", "1");
    ASSERT_TRUE(Server().OrdersModel("\"polls_until_done\": 3"));
    context.SetValue("ops_retry_counter", "");
    CWBDialog* page = StartOrderPage(kNewContract);
    ASSERT_NE(page, nullptr);
    CWBDialog* next = nullptr;
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(WaitForPageSentToFrame(&next));
        if (ClassOf(next) != ClassName<CErrorDialog>())
            break;
        EXPECT_EQ(std::string(static_cast<CErrorDialog*>(next)->m_pageCode), "EXG1003");
        ASSERT_TRUE(SettleWithPosted());
        Click(next, IDC_RETRY);
        ASSERT_TRUE(TakePageSentToFrame(&next));
        ASSERT_EQ(ClassOf(next), ClassName<CSignupDialog>());
        ASSERT_TRUE(SettleWithPosted());
        StartNotice(next);
    }
    EXPECT_EQ(ClassOf(next), ClassName<CPostSignupDialog>());
    EXPECT_EQ(context.errorCode.GetLength(), 0) << context.errorCode.GetString();
    EXPECT_FALSE(context.GetValue("ops_retry_counter").IsEmpty());
    const std::vector<std::string> ids = OrderIds();
    ASSERT_GE(ids.size(), 4u);
    EXPECT_EQ(ids[0], "1003");
    for (size_t i = 1; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], "1002") << i;
    if (next)
        DestroyPage(next);
}

TEST_F(OrderPages, OrderPageStartsNothingForAnUnknownOrderOrAForeignRequestEnd)
{
    context.SetValue("CErrorDialog::RetryClassname", "CStatusDialog");
    CSignupDialog* page = StartOrderPage("インストール");
    ASSERT_NE(page, nullptr);
    // The marquee runs all the same.
    const LONG style = ::GetWindowLongA(::GetDlgItem(page->m_hWnd, IDC_PROGRESS), GWL_STYLE);
    EXPECT_NE(style & PBS_MARQUEE, 0);
    EXPECT_EQ(page->m_request, nullptr);
    // The end of a request that is not the page's own moves nothing.
    static int foreign;
    ::SendMessageA(page->m_hWnd, WM_KAVO_REQUESTDONE, WPARAM(-1), reinterpret_cast<LPARAM>(&foreign));
    ::Sleep(300);
    ASSERT_TRUE(SettleWithPosted());
    CWBDialog* next = nullptr;
    EXPECT_FALSE(TakePageSentToFrame(&next));
    EXPECT_TRUE(::IsWindow(page->m_hWnd));
    EXPECT_EQ(Server().OrdersIds(), "");
    EXPECT_EQ(std::string(context.GetValue("CErrorDialog::RetryClassname")), "CStatusDialog");
    DestroyPage(page);
}

TEST_F(OrderPages, NamedRequestPageShowsItsTextAndGoesToTheNextOrErrorPageByName)
{
    struct Case {
        const char* script;  // scripted answer to the request, "" for the model's
        const char* nextPage;
        std::string nextClass;
    };
    const Case kCases[] = {
        {"", "CStatusDialog", ClassName<CStatusDialog>()},
        {"\"result\": \"0002\"", "CStatusDialog", ClassName<CErrorDialog>()},
        {"\"status\": 500", "CStatusDialog", ClassName<CErrorDialog>()},
        // A name that names no page ends the wizard.
        {"", "CNoSuchDialog", "no page"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.nextPage) + " " + c.script);
        ASSERT_TRUE(Server().Reset());
        if (*c.script) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.script));
        }
        MakeFeesReady();
        context.SetValue("COPSProgressDialog::ProcID", "1002");
        context.SetValue("COPSProgressDialog::MessageText", "状況を確認しています");
        context.SetValue("COPSProgressDialog::NextPage", c.nextPage);
        context.SetValue("COPSProgressDialog::ErrorPage", "CErrorDialog");
        context.SetValue("CErrorDialog::RetryClassname", "");
        COPSProgressDialog* page = Open(new COPSProgressDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(ItemText(page, IDC_STATIC1), "状況を確認しています");
        StartNotice(page);
        EXPECT_EQ(std::string(context.GetValue("CErrorDialog::RetryClassname")), "COPSProgressDialog");
        const LONG style = ::GetWindowLongA(::GetDlgItem(page->m_hWnd, IDC_PROGRESS), GWL_STYLE);
        EXPECT_NE(style & PBS_MARQUEE, 0);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(WaitForPageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        EXPECT_EQ(Server().OrdersIds(), "1002");
        if (next) {
            EXPECT_EQ(::GetParent(next->m_hWnd), frame);
            DestroyPage(next);
        }
    }
}

TEST_F(OrderPages, OrderDonePageGoesOnToRegistrationOrBackToTheRefreshedContractList)
{
    struct Case {
        int button;
        const char* script;
        std::string nextClass;
        const char* requests;
    };
    const Case kCases[] = {
        {IDC_NEXT, "", ClassName<CRegClientDialog>(), ""},
        {IDC_BACK, "", ClassName<CStatusDialog>(), "1002"},
        {IDC_BACK, "\"result\": \"0002\"", ClassName<CErrorDialog>(), "1002"},
        {IDC_BACK, "\"status\": 500", ClassName<CErrorDialog>(), "1002"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.button) + " " + c.script);
        ASSERT_TRUE(Server().Reset());
        if (*c.script) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.script));
        }
        MakeFeesReady();
        context.response.agreements.RemoveAll();
        AddAgreement("S0001", "A0001", "2");
        context.customer.orderedSecurityID = "S0001";
        CPostSignupDialog* page = Open(new CPostSignupDialog);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(SettleWithPosted());
        ASSERT_TRUE(::IsWindow(page->m_hWnd));
        Click(page, c.button);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(ClassOf(next), c.nextClass);
        EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        EXPECT_EQ(Server().OrdersIds(), c.requests);
        DestroyPage(next);
    }
}

}  // namespace
