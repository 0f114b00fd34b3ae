// What the notice page and the sign-in page do: the notice's buttons and when it gives way,
// the access-key filter, the fields' first values, the key's mask and the sign-in itself,
// on the page bench with the fake order system.
#include "PageContentBench.h"

#include <windows.h>
#include <imm.h>

#include <string>
#include <typeinfo>

#include "CKAVODlg.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "LoginParams.h"
#include "pages/CErrorDialog.h"
#include "pages/CLoginDialog.h"
#include "pages/CMotdDialog.h"
#include "pages/CStatusDialog.h"

namespace {

// The customer of the fake order system in these tests: the page's prefix "LMO" and ten
// digits, with an access key of eight letters and digits.
const char kCustomerId[] = "LMO0123456789";
const char kCustomerDigits[] = "0123456789";
const char kAccessKey[] = "Ab3De6Gh";

class SignInPages : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        // The saved sign-in goes to a key of this run's own, so a user's real one is never touched.
        m_loginKey = "Software\\KavoTests\\SignIn-" + std::to_string(::GetCurrentProcessId());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, m_loginKey.c_str());
        ConfigureText();
        context.runMode = RUNMODE_NORMAL;
    }

    void TearDown() override
    {
        PageContentBench::TearDown();
        ::RegDeleteKeyA(HKEY_CURRENT_USER, m_loginKey.c_str());
    }

    // The saved sign-in's place and the two sign-in messages.
    void ConfigureText()
    {
        CTextDef::SetText("COMMON_REG_HKCU_KAVO", ("HKEY_CURRENT_USER\\" + m_loginKey).c_str());
        CTextDef::SetText("A_N07_IDC_WEBBROWSER", "<p>sign in</p>");
        CTextDef::SetText("A_E07_IDC_WEBBROWSER", "<p>refused &ErrorCode;</p>");
    }

    void UseTestCustomer()
    {
        ASSERT_TRUE(Server().OrdersModel(std::string("\"VeldinCommonID\": \"") + kCustomerId +
                                         "\", \"AccessKey\": \"" + kAccessKey + "\""));
    }

    // Whether the saved sign-in's registry value exists at all.
    bool LoginValueStored() const
    {
        CRegKey key;
        CSimpleArray<BYTE> data;
        return key.Open(HKEY_CURRENT_USER, m_loginKey.c_str(), KEY_READ) == ERROR_SUCCESS &&
               key.QueryBinaryValue("LoginParams", data) == ERROR_SUCCESS;
    }

    // "id/key" of the saved sign-in; "" when nothing is saved.
    std::string SavedLogin() const
    {
        if (!LoginValueStored())
            return "";
        CString id;
        CString key;
        EXPECT_TRUE(LoadLoginParams(id, key));
        return std::string(id) + "/" + std::string(key);
    }

    static WCHAR PasswordCharOf(const CWBDialog* page)
    {
        return WCHAR(::SendMessageW(::GetDlgItem(page->m_hWnd, IDC_EDIT2), EM_GETPASSWORDCHAR, 0, 0));
    }

    std::string m_loginKey;
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

const int kSignInControls[] = {IDC_LOGIN, IDC_MASK, IDC_EDIT1, IDC_EDIT2, IDC_CHECK1};

TEST_F(SignInPages, NoticeOffersNextForStatusOneAndOnlyCloseInItsPlaceForStatusTwo)
{
    context.SetValue("OPS_STATUS", "1");
    CMotdDialog* first = Open(new CMotdDialog);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->ResolvePage(frame, &context), first);
    EXPECT_TRUE(ItemShown(first, IDC_NEXT));
    EXPECT_FALSE(ItemShown(first, ID_PAGE_CLOSE));
    const RECT nextPlace = ItemRect(first, IDC_NEXT);
    DestroyPage(first);

    context.SetValue("OPS_STATUS", "2");
    CMotdDialog* second = Open(new CMotdDialog);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->ResolvePage(frame, &context), second);
    EXPECT_FALSE(ItemShown(second, IDC_NEXT));
    EXPECT_TRUE(ItemShown(second, ID_PAGE_CLOSE));
    EXPECT_TRUE(SameRect(ItemRect(second, ID_PAGE_CLOSE), nextPlace));
    // The hidden Next button cannot act.
    Click(second, IDC_NEXT);
    CWBDialog* next = nullptr;
    EXPECT_FALSE(TakePageSentToFrame(&next));
    EXPECT_TRUE(::IsWindow(second->m_hWnd));
}

TEST_F(SignInPages, NoticeNextGoesToTheSignInPage)
{
    context.SetValue("OPS_STATUS", "1");
    CMotdDialog* page = Open(new CMotdDialog);
    ASSERT_NE(page, nullptr);
    const HWND window = page->m_hWnd;
    Click(page, IDC_NEXT);
    EXPECT_FALSE(::IsWindow(window));
    CWBDialog* next = nullptr;
    ASSERT_TRUE(TakePageSentToFrame(&next));
    EXPECT_EQ(ClassOf(next), typeid(CLoginDialog).name());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(::GetParent(next->m_hWnd), frame);
    EXPECT_EQ(static_cast<CKAVODlgBase*>(next)->m_context, &context);
    DestroyPage(next);
}

TEST_F(SignInPages, NoticeWithAnyOtherStatusGivesWayToTheSignInPageBeforeItIsShown)
{
    const char* const kStatuses[] = {"0", nullptr, "3", "-1", "12", "abc"};
    for (const char* status : kStatuses) {
        SCOPED_TRACE(status ? status : "(absent)");
        context.values.RemoveAll();
        if (status)
            context.SetValue("OPS_STATUS", status);
        CWBDialog* page = CreatePageWindow(new CMotdDialog, frame, &context);
        ASSERT_NE(page, nullptr);
        // Its own start-up hands nothing over: the page is still there and the frame was told nothing.
        CWBDialog* sent = nullptr;
        EXPECT_FALSE(TakePageSentToFrame(&sent));
        EXPECT_TRUE(::IsWindow(page->m_hWnd));
        CWBDialog* answer = page->ResolvePage(frame, &context);
        EXPECT_EQ(ClassOf(answer), typeid(CLoginDialog).name());
        ASSERT_NE(answer, nullptr);
        EXPECT_NE(answer, page);
        EXPECT_EQ(::GetParent(answer->m_hWnd), frame);
        EXPECT_EQ(static_cast<CKAVODlgBase*>(answer)->m_context, &context);
        DestroyPage(page);
        DestroyPage(answer);
    }
}

TEST_F(SignInPages, AccessKeyKeepsOnlyLettersAndDigitsAndTheButtonNeedsBothFieldsFull)
{
    struct Case {
        const char* customerDigits;
        const char* key;
        const char* keptKey;
        bool enabled;
    };
    const Case kCases[] = {
        {kCustomerDigits, kAccessKey, kAccessKey, true},
        {kCustomerDigits, "ab-12345", "ab", false},
        {"012345678", kAccessKey, kAccessKey, false},
        {kCustomerDigits, "Ab3De6G", "Ab3De6G", false},
        {kCustomerDigits, "12345678", "12345678", true},
        {kCustomerDigits, "Ab3 De6G", "Ab3", false},
        // A double-byte letter is no ASCII letter: the text before its lead byte stays.
        {kCustomerDigits, "Ab\x82\x60" "De6G", "Ab", false},
        {kCustomerDigits, "", "", false},
    };
    CLoginDialog* page = Open(new CLoginDialog);
    ASSERT_NE(page, nullptr);
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.customerDigits) + " / " + c.key);
        ::SetDlgItemTextA(page->m_hWnd, IDC_EDIT1, c.customerDigits);
        ::SetDlgItemTextA(page->m_hWnd, IDC_EDIT2, c.key);
        EXPECT_EQ(ItemText(page, IDC_EDIT2), c.keptKey);
        EXPECT_EQ(ItemEnabled(page, IDC_LOGIN), c.enabled);
    }
    // A shorter customer id disables the button again, whatever the key.
    ::SetDlgItemTextA(page->m_hWnd, IDC_EDIT2, kAccessKey);
    ASSERT_TRUE(ItemEnabled(page, IDC_LOGIN));
    ::SetDlgItemTextA(page->m_hWnd, IDC_EDIT1, "01234");
    EXPECT_FALSE(ItemEnabled(page, IDC_LOGIN));
}

TEST_F(SignInPages, FieldsStartWithTheLauncherValuesOrTheSavedSignIn)
{
    struct Case {
        const char* what;
        LONG runMode;
        bool saved;  // "LMO1111111111" / "Saved001" is stored
        const char* customerDigits;
        const char* key;
    };
    const Case kCases[] = {
        {"launcher mode 3", RUNMODE_OSA2, true, kCustomerDigits, kAccessKey},
        {"launcher mode 2", RUNMODE_OSA1, true, kCustomerDigits, kAccessKey},
        {"normal, saved", RUNMODE_NORMAL, true, "1111111111", "Saved001"},
        {"parented, saved", RUNMODE_PARENTED, true, "1111111111", "Saved001"},
        {"normal, none saved", RUNMODE_NORMAL, false, "", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        DeleteLoginParams();
        if (c.saved) {
            ASSERT_TRUE(SaveLoginParams("LMO1111111111", "Saved001"));
        }
        context.runMode = c.runMode;
        context.customer.VeldinCommonID = kCustomerId;
        context.customer.AccessKey = kAccessKey;
        CLoginDialog* page = Open(new CLoginDialog);
        ASSERT_NE(page, nullptr);
        const HWND window = page->m_hWnd;
        EXPECT_EQ(ItemText(page, IDC_EDIT1), c.customerDigits);
        EXPECT_EQ(ItemText(page, IDC_EDIT2), c.key);
        EXPECT_EQ(ItemEnabled(page, IDC_LOGIN), *c.key != '\0');
        EXPECT_EQ(::IsDlgButtonChecked(window, IDC_MASK), UINT(BST_UNCHECKED));
        EXPECT_EQ(::IsDlgButtonChecked(window, IDC_CHECK1), UINT(BST_CHECKED));
        EXPECT_EQ(::SendDlgItemMessageA(window, IDC_EDIT1, EM_GETLIMITTEXT, 0, 0), 10);
        EXPECT_EQ(::SendDlgItemMessageA(window, IDC_EDIT2, EM_GETLIMITTEXT, 0, 0), 8);
        // The customer-id field has the page's filter in front of the edit's own procedure.
        EXPECT_NE(::GetWindowLongA(::GetDlgItem(window, IDC_EDIT1), GWL_WNDPROC),
                  ::GetWindowLongA(::GetDlgItem(window, IDC_EDIT2), GWL_WNDPROC));
        DestroyPage(page);
    }
}

TEST_F(SignInPages, ShowKeyBoxTogglesBetweenPlainTextAndTheRoundMask)
{
    CLoginDialog* page = Open(new CLoginDialog);
    ASSERT_NE(page, nullptr);
    const HWND window = page->m_hWnd;
    ::SetDlgItemTextA(window, IDC_EDIT2, kAccessKey);
    ::CheckDlgButton(window, IDC_MASK, BST_CHECKED);
    Click(page, IDC_MASK);
    EXPECT_EQ(PasswordCharOf(page), WCHAR(0));
    EXPECT_EQ(ItemText(page, IDC_EDIT2), kAccessKey);
    ::CheckDlgButton(window, IDC_MASK, BST_UNCHECKED);
    Click(page, IDC_MASK);
    EXPECT_EQ(PasswordCharOf(page), WCHAR(0x25CF));
    EXPECT_EQ(ItemText(page, IDC_EDIT2), kAccessKey);
}

TEST_F(SignInPages, FieldLabelsAreDrawnInTheirColourOnTheWhiteBackground)
{
    CLoginDialog* page = Open(new CLoginDialog);
    ASSERT_NE(page, nullptr);
    const HDC dc = ::CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    struct Case {
        int id;
        COLORREF colour;
    };
    const COLORREF kPlain = RGB(1, 2, 3);
    const Case kCases[] = {{IDC_STATIC2, RGB(100, 149, 237)}, {IDC_STATIC4, RGB(100, 149, 237)}, {IDC_STATIC6, kPlain}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.id);
        ::SetTextColor(dc, kPlain);
        const LRESULT brush = ::SendMessageA(page->m_hWnd, WM_CTLCOLORSTATIC, WPARAM(dc),
                                             LPARAM(::GetDlgItem(page->m_hWnd, c.id)));
        EXPECT_EQ(::GetTextColor(dc), c.colour);
        EXPECT_EQ(HBRUSH(brush), HBRUSH(::GetStockObject(WHITE_BRUSH)));
    }
    ::DeleteDC(dc);
}

TEST_F(SignInPages, EnteringAFieldClosesItsInputMethod)
{
    CLoginDialog* page = Open(new CLoginDialog);
    ASSERT_NE(page, nullptr);
    for (int id : {IDC_EDIT1, IDC_EDIT2}) {
        SCOPED_TRACE(id);
        const HWND edit = ::GetDlgItem(page->m_hWnd, id);
        const HIMC input = ::ImmGetContext(edit);
        ASSERT_NE(input, nullptr);
        ASSERT_TRUE(::ImmSetOpenStatus(input, TRUE));
        ASSERT_TRUE(::ImmGetOpenStatus(input));
        ::SendMessageA(page->m_hWnd, WM_COMMAND, MAKEWPARAM(id, EN_SETFOCUS), LPARAM(edit));
        EXPECT_FALSE(::ImmGetOpenStatus(input));
        ::ImmReleaseContext(edit, input);
    }
}

TEST_F(SignInPages, SignInMovesOnStaysOrFailsByTheOrderSystemsAnswerAndKeepsTheSavedValueAsAsked)
{
    enum Saved { Nothing, Old, New };
    struct Case {
        const char* what;
        const char* key;
        bool keep;
        const char* script1001;  // "" for the model's answer
        const char* script1002;
        const char* staleCode;  // the ResultCode an earlier request left
        const char* nextClass;  // null: the page stays
        const char* errorPageCode;
        Saved savedAfter;  // the old value "LMO9999999999/Old00001" is saved before each case
    };
    const std::string statusPage = typeid(CStatusDialog).name();
    const std::string errorPage = typeid(CErrorDialog).name();
    const Case kCases[] = {
        {"accepted, kept", kAccessKey, true, "", "", "", statusPage.c_str(), "", New},
        {"accepted, not kept", kAccessKey, false, "", "", "", statusPage.c_str(), "", Nothing},
        {"wrong key, kept", "Wrong001", true, "", "", "", nullptr, "", Old},
        {"wrong key, not kept", "Wrong001", false, "", "", "", nullptr, "", Nothing},
        {"refused 9991", kAccessKey, true, "\"result\": \"9991\"", "", "", nullptr, "", Old},
        {"other result", kAccessKey, true, "\"result\": \"0001\"", "", "", errorPage.c_str(), "EWS0001", Old},
        // WinINet sends a request once more when the connection drops unanswered.
        {"connection refused", kAccessKey, true, "\"mode\": \"refuse\", \"times\": 2", "", "0002", errorPage.c_str(),
         "EXG0000", Old},
        {"connection refused, not kept", kAccessKey, false, "\"mode\": \"refuse\", \"times\": 2", "", "0002",
         errorPage.c_str(), "EXG0000", Nothing},
        {"unreadable answer", kAccessKey, true, "\"body\": \"no xml at all\"", "", "0002", errorPage.c_str(),
         "EXG0000", Old},
        // The value is written before the refresh, so a failing refresh keeps it.
        {"refresh fails", kAccessKey, true, "", "\"status\": 500", "", errorPage.c_str(), "EXG0000", New},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Server().Reset());
        UseTestCustomer();
        GetFeeCalc().Clear();
        MakeFeesReady();
        if (*c.script1001) {
            ASSERT_TRUE(Server().OrdersScript("1001", c.script1001));
        }
        if (*c.script1002) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.script1002));
        }
        ASSERT_TRUE(SaveLoginParams("LMO9999999999", "Old00001"));
        context.values.RemoveAll();
        context.errorCode.Empty();
        CLoginDialog* page = Open(new CLoginDialog);
        ASSERT_NE(page, nullptr);
        const HWND window = page->m_hWnd;
        ::SetDlgItemTextA(window, IDC_EDIT1, kCustomerDigits);
        ::SetDlgItemTextA(window, IDC_EDIT2, c.key);
        ::CheckDlgButton(window, IDC_CHECK1, c.keep ? BST_CHECKED : BST_UNCHECKED);
        ASSERT_TRUE(ItemEnabled(page, IDC_LOGIN));
        context.response.ResultCode = c.staleCode;

        Click(page, IDC_LOGIN);

        EXPECT_EQ(std::string(context.customer.VeldinCommonID), kCustomerId);
        EXPECT_EQ(std::string(context.customer.AccessKey), c.key);
        EXPECT_EQ(Server().OrdersIds().substr(0, 4), "1001");
        const std::string saved = c.savedAfter == New   ? std::string(kCustomerId) + "/" + kAccessKey
                                  : c.savedAfter == Old ? std::string("LMO9999999999/Old00001")
                                                        : std::string();
        EXPECT_EQ(SavedLogin(), saved);
        CWBDialog* next = nullptr;
        if (!c.nextClass) {
            EXPECT_FALSE(TakePageSentToFrame(&next));
            ASSERT_TRUE(::IsWindow(window));
            ASSERT_TRUE(Settle());
            EXPECT_EQ(Html(page), "<p>refused EWS" + std::string(context.response.ResultCode) + "</p>");
            EXPECT_EQ(Server().OrdersIds(), "1001");
            for (int id : kSignInControls)
                EXPECT_TRUE(ItemEnabled(page, id)) << id;
            DestroyPage(page);
            continue;
        }
        EXPECT_FALSE(::IsWindow(window));
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        if (*c.errorPageCode) {
            EXPECT_EQ(std::string(static_cast<CErrorDialog*>(next)->m_pageCode), c.errorPageCode);
        }
        DestroyPage(next);
    }
}

TEST(SignInJudgement, TheRunsOwnOutcomeComesBeforeAnyResultCodeInTheContext)
{
    using SignIn = CLoginDialog::SignIn;
    struct Case {
        int runResult;
        const char* errorCode;
        const char* resultCode;
        SignIn expected;
    };
    const Case kCases[] = {
        {0, "", "0000", SignIn::Accepted},
        {2, "", "0002", SignIn::Refused},
        {9991, "", "9991", SignIn::Refused},
        {1, "", "0001", SignIn::Failed},
        // A failed run is a failure also with a refusal's code left in the context.
        {-1, "EXG0000", "0002", SignIn::Failed},
        {-1, "", "0002", SignIn::Failed},
        {-1, "", "9991", SignIn::Failed},
        {2, "EXG0000", "0002", SignIn::Failed},
        {-1, "EXG0000", "", SignIn::Failed},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.runResult) + " " + c.errorCode + " " + c.resultCode);
        CPageContext context;
        context.errorCode = c.errorCode;
        context.response.ResultCode = c.resultCode;
        EXPECT_EQ(int(CLoginDialog::JudgeSignIn(c.runResult, context)), int(c.expected));
    }
}

}  // namespace
