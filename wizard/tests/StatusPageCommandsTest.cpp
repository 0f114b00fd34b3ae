// What the status page does with its buttons, its banner and the form posts of its serial
// rows, on the page bench with the scripted browser, the fake server and its order system.
#include "PageContentBench.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <typeinfo>

#include "CComVariant.h"
#include "CKAVODlg.h"
#include "CTextDef.h"
#include "KavoDriver.h"
#include "pages/CCheckComputerDialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CModifyStatusDialog.h"
#include "pages/CStatusDialog.h"

namespace {

const char kAddPing[] = "/contents/security/kavo/tm_count/a_n08_add_k.html";

// Answers every dialog of that caption that shows while it runs, on a thread of its own,
// while the test's thread sits in the modal loop: prepare (if any) acts on the dialog first,
// then command is posted to it as a click.
class DialogAnswerer {
public:
    DialogAnswerer(std::string caption, int command, std::function<void(HWND)> prepare = nullptr)
        : m_thread([this, caption, command, prepare] {
              while (!m_stop) {
                  HWND dialog = FindTopLevelWindowOf(::GetCurrentProcessId(), "#32770", caption.c_str());
                  if (!dialog || !::IsWindowVisible(dialog)) {
                      ::Sleep(20);
                      continue;
                  }
                  if (prepare)
                      prepare(dialog);
                  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                                 LPARAM(::GetDlgItem(dialog, command)));
                  for (int i = 0; i < 250 && ::IsWindow(dialog); ++i)
                      ::Sleep(20);
                  ++m_answered;
              }
          })
    {
    }
    ~DialogAnswerer() { Stop(); }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Ends the watch; the number of dialogs answered.
    int Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_answered;
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_answered{0};
    std::thread m_thread;
};

// The next page marks the steps it has reached in upper case; the letters stay.
std::string LowerCase(const char* text)
{
    std::string lower(text);
    for (char& c : lower)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower;
}

std::string Text(const char* key)
{
    return CTextDef::GetText(key).GetString();
}

// One serial row: a form with the command word and the serial's fields, sent by its image
// input "pos" as the operator's row templates do.
std::string RowForm(const char* command, const char* serialField)
{
    return std::string("<form method=\"get\" action=\"http://127.0.0.1:9/form\">"
                       "<input type=\"hidden\" name=\"cmd\" value=\"") +
           command + "\"><input type=\"hidden\" name=\"SerialID\" value=\"" + serialField +
           "\"><input type=\"hidden\" name=\"NickName\" value=\"&NickName;\">"
           "<input type=\"hidden\" name=\"MailAddress\" value=\"&MailAddress;\">"
           "<input type=\"hidden\" name=\"SecurityID\" value=\"SEC1\">"
           "<input type=\"image\" name=\"pos\"></form>";
}

class StatusPageCommands : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        CTextDef::SetText("A_N08_IDC_WEBBROWSER_1", "<p>no contract</p>");
        CTextDef::SetText("A_N08_IDC_WEBBROWSER_2", "<table>&LicenseSerialStatus;</table>");
        CTextDef::SetText("A_N08_TMPL_SERIAL", "<tr>&SerialID;:&NickName;:&MailAddress;</tr>");
        context.autoFlow = 0;
        context.customer.VeldinCommonID = "C0001";
        context.customer.AccessKey = "KEY0001";
    }

    // The class of the page the frame was told to show; "nothing" when it was told nothing.
    // The page is destroyed.
    std::string ClassOfPageSentToFrame()
    {
        CWBDialog* next = nullptr;
        if (!TakePageSentToFrame(&next))
            return "nothing";
        if (!next)
            return "no page";
        EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        EXPECT_EQ(static_cast<CKAVODlgBase*>(next)->m_context, &context);
        const std::string name = typeid(*next).name();
        DestroyPage(next);
        return name;
    }

    // The action the page posted itself (0 when none), taken from the queue unhandled.
    static WPARAM TakePostedAction(const CWBDialog* page, MSG* message = nullptr)
    {
        MSG taken;
        if (!::PeekMessageA(&taken, page->m_hWnd, WM_KAVO_PAGE, WM_KAVO_PAGE, PM_REMOVE))
            return 0;
        if (message)
            *message = taken;
        return taken.wParam;
    }

    // The status page with one contract and the serial S1 in status, each row one form.
    CStatusDialog* OpenWithRowForm(const char* command, const char* serialField, int status)
    {
        CTextDef::SetText("A_N08_TMPL_SERIAL", RowForm(command, serialField).c_str());
        context.response.agreements.RemoveAll();
        context.response.serials.RemoveAll();
        AddAgreement("SEC1", "AG1", "2");
        AddSerial("S1", status, "pc1", "", "one@example.jp");
        return Open(new CStatusDialog);
    }

    // The fake order system's customer with the serial S1 in use.
    static void ModelWithOneSerial()
    {
        ASSERT_TRUE(Server().OrdersModel(
            "\"agreements\": [{\"SecurityID\": \"SEC1\", \"AgreementID\": \"AG1\", \"SecurityStatus\": \"2\"}], "
            "\"serials\": [{\"SerialID\": \"S1\", \"SerialStatus\": 3, \"NickName\": \"pc1\", "
            "\"MailAddressSN\": \"one@example.jp\"}]"));
    }
};

TEST_F(StatusPageCommands, InstallAndReinstallTakeTheRowsSerialAndAskWhereTheyMust)
{
    enum Question { None, Box, Dialog };
    struct Case {
        const char* command;
        const char* serialField;  // the row's SerialID field
        int status;               // of the serial S1
        Question asked;
        int answer;  // the button that answers the question
        const char* phase;  // "" when nothing goes on
        LONG inProgress;
    };
    const Case kCases[] = {
        {"インストール開始", "S1", 1, None, 0, "Lpcif", 0},
        {"インストール開始", "S1", 0, Box, IDYES, "Lpcif", 0},
        {"インストール開始", "S1", 2, Box, IDYES, "Lpcif", 1},
        {"インストール開始", "S1", 3, Box, IDNO, "", 0},
        {"インストール開始", "S1", 4, Box, IDNO, "", 1},
        {"インストール開始", "S1", 5, Box, IDYES, "Lpcif", 0},
        // A serial that the list does not hold counts as not awaiting installation.
        {"インストール開始", "SX", 1, Box, IDYES, "Lpcif", 0},
        {"再インストール", "S1", 2, Dialog, IDC_MSG_BUTTON1, "Lpcrf", 1},
        {"再インストール", "S1", 4, Dialog, IDC_MSG_BUTTON1, "Lpcrf", 1},
        {"再インストール", "S1", 3, Dialog, IDC_MSG_BUTTON1, "Lpcarf", 0},
        {"再インストール", "S1", 1, Dialog, IDC_MSG_BUTTON1, "Lpcarf", 0},
        {"再インストール", "S1", 3, Dialog, IDC_MSG_BUTTON2, "", 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.serialField + " status " + std::to_string(c.status));
        CStatusDialog* page = OpenWithRowForm(c.command, c.serialField, c.status);
        ASSERT_NE(page, nullptr);
        context.phase = "before";
        context.customer.installationInProgress = 7;
        const std::string caption = c.asked == Dialog ? Text("MSGDLG_MBK04_TITLE") : Text("A_N08_TTL_CONFIRM_INSTALL");
        DialogAnswerer answerer(caption, c.asked == None ? IDNO : c.answer);
        EXPECT_TRUE(BrowserOf(page).Submit("pos"));
        EXPECT_EQ(answerer.Stop(), c.asked == None ? 0 : 1);

        // Whatever the answer, the row's serial is the chosen one now.
        EXPECT_EQ(std::string(context.customer.SerialID), c.serialField);
        EXPECT_EQ(std::string(context.customer.NickName), "pc1");
        EXPECT_EQ(std::string(context.customer.MailAddressSN), "one@example.jp");
        EXPECT_EQ(std::string(context.customer.SecurityID), "SEC1");
        EXPECT_EQ(context.customer.installationInProgress, c.inProgress);
        EXPECT_EQ(std::string(context.GetValue("AN08_ORDER")),
                  std::string(c.command) == "再インストール" ? "再インストール" : "インストール");
        const bool goesOn = *c.phase != 0;
        EXPECT_EQ(std::string(context.phase), goesOn ? c.phase : "before");
        EXPECT_EQ(TakePostedAction(page), goesOn ? WPARAM(1) : WPARAM(0));
        // The form never navigates the page's browser.
        EXPECT_EQ(BrowserOf(page).LocationUrl().find("/form"), std::string::npos);
        DestroyPage(page);
    }
}

TEST_F(StatusPageCommands, ConfirmationShowsTheDefinitionsTexts)
{
    CTextDef::SetText("A_N08_TTL_CONFIRM_INSTALL", "Confirm &CURL;");
    CTextDef::SetText("A_N08_MSG_CONFIRM_INSTALL", "Go on at &CURL;?");
    CStatusDialog* page = OpenWithRowForm("インストール開始", "S1", 2);
    ASSERT_NE(page, nullptr);
    std::string text;
    DialogAnswerer answerer("Confirm " + Server().BaseUrl(), IDNO, [&text](HWND box) {
        char buffer[512] = {};
        ::GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        text = buffer;
    });
    EXPECT_TRUE(BrowserOf(page).Submit("pos"));
    EXPECT_EQ(answerer.Stop(), 1);
    EXPECT_EQ(text, "Go on at " + Server().BaseUrl() + "?");
}

TEST_F(StatusPageCommands, UnknownOrMissingCommandDoesNothingAndNeverNavigates)
{
    const char* const kCommands[] = {"", "install", "ニックネーム"};
    for (const char* command : kCommands) {
        SCOPED_TRACE(command);
        CStatusDialog* page = OpenWithRowForm(command, "S1", 1);
        ASSERT_NE(page, nullptr);
        context.customer.SerialID = "kept";
        context.SetValue("AN08_ORDER", "kept");
        EXPECT_TRUE(BrowserOf(page).Submit("pos"));
        EXPECT_TRUE(SettleWithPosted());
        EXPECT_EQ(std::string(context.customer.SerialID), "kept");
        EXPECT_EQ(std::string(context.GetValue("AN08_ORDER")), "kept");
        EXPECT_TRUE(::IsWindow(page->m_hWnd));
        EXPECT_EQ(ClassOfPageSentToFrame(), "nothing");
        EXPECT_EQ(BrowserOf(page).LocationUrl().find("/form"), std::string::npos);
        DestroyPage(page);
    }
}

TEST_F(StatusPageCommands, LinkInTheShownContentIsCancelled)
{
    ASSERT_TRUE(Server().Route("/elsewhere.html", "<p>elsewhere</p>"));
    CStatusDialog* page = OpenWithRowForm("", "S1", 1);
    ASSERT_NE(page, nullptr);
    const std::string before = BrowserOf(page).LocationUrl();
    Navigate(page, Server().Url("/elsewhere.html"));
    EXPECT_EQ(BrowserOf(page).LocationUrl(), before);
    EXPECT_EQ(Server().Hits("/elsewhere.html"), 0);
}

TEST_F(StatusPageCommands, NavigationBeforeTheFirstDocumentIsNotIntercepted)
{
    AddAgreement("SEC1", "AG1", "2");
    AddSerial("S1", 3);
    CStatusDialog* page = static_cast<CStatusDialog*>(CreatePageWindow(new CStatusDialog, frame, &context));
    ASSERT_NE(page, nullptr);
    ASSERT_FALSE(page->m_mainDocumentLoaded);
    CComVariant url(L"http://127.0.0.1:9/form?cmd=%83j%83b%83N%83l%81%5B%83%80%95%CF%8DX&SerialID=S1");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    page->BeforeNavigate2(nullptr, &url, nullptr, nullptr, nullptr, nullptr, &cancel);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_TRUE(context.customer.SerialID.IsEmpty());
    EXPECT_EQ(TakePostedAction(page), WPARAM(0));

    // The same post once the content is in: cancelled and taken as the nickname command.
    ASSERT_TRUE(Settle());
    ASSERT_TRUE(page->m_mainDocumentLoaded);
    EXPECT_EQ(Html(page), "<table><tr>S1::</tr></table>");
    page->BeforeNavigate2(nullptr, &url, nullptr, nullptr, nullptr, nullptr, &cancel);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(std::string(context.customer.SerialID), "S1");
    EXPECT_EQ(TakePostedAction(page), WPARAM(2));
}

TEST_F(StatusPageCommands, NicknameAndMailChangesRestoreOnCancelAndSendAndRefreshOnApply)
{
    enum Outcome { Restored, SentAndRefreshed, ErrorPage };
    struct Case {
        const char* command;
        WPARAM action;
        const char* captionKey;
        CString COpsCustomerData::*field;
        const char* typed;
        int button;
        const char* script;  // for the change request, "" for the model's answer
        Outcome outcome;
        const char* requestId;
        const char* sentField;
    };
    const Case kCases[] = {
        {"ニックネーム変更", 2, "CHID_TITLE", &COpsCustomerData::NickName, "newname", IDCANCEL, "", Restored, "1007",
         "NickName"},
        {"ニックネーム変更", 2, "CHID_TITLE", &COpsCustomerData::NickName, "newname", IDOK, "", SentAndRefreshed, "1007",
         "NickName"},
        {"ニックネーム変更", 2, "CHID_TITLE", &COpsCustomerData::NickName, "newname", IDOK, "\"result\": \"0005\"",
         ErrorPage, "1007", "NickName"},
        {"メールアドレス変更", 3, "CHMAILADDR_TITLE", &COpsCustomerData::MailAddressSN, "new@example.jp", IDCANCEL, "",
         Restored, "1010", "MailAddressSN"},
        {"メールアドレス変更", 3, "CHMAILADDR_TITLE", &COpsCustomerData::MailAddressSN, "new@example.jp", IDOK, "",
         SentAndRefreshed, "1010", "MailAddressSN"},
        {"メールアドレス変更", 3, "CHMAILADDR_TITLE", &COpsCustomerData::MailAddressSN, "new@example.jp", IDOK,
         "\"status\": 500", ErrorPage, "1010", "MailAddressSN"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.command) + " button " + std::to_string(c.button) + " " + c.script);
        ASSERT_TRUE(Server().Reset());
        ModelWithOneSerial();
        if (*c.script) {
            ASSERT_TRUE(Server().OrdersScript(c.requestId, c.script));
        }
        CTextDef::SetText("A_N08_TMPL_SERIAL", (RowForm(c.command, "&SerialID;") + "[&NickName;|&MailAddress;]").c_str());
        context.response.agreements.RemoveAll();
        context.response.serials.RemoveAll();
        AddAgreement("SEC1", "AG1", "2");
        AddSerial("S1", 3, "pc1", "", "one@example.jp");
        CStatusDialog* page = Open(new CStatusDialog);
        ASSERT_NE(page, nullptr);
        context.customer.NickName = "old";
        context.customer.MailAddressSN = "old@example.jp";
        context.customer.SerialID.Empty();

        EXPECT_TRUE(BrowserOf(page).Submit("pos"));
        EXPECT_EQ(std::string(context.customer.SerialID), "S1");
        EXPECT_EQ(std::string(context.GetValue("AN08_ORDER")), c.command);
        MSG posted = {};
        ASSERT_EQ(TakePostedAction(page, &posted), c.action);
        const std::string keptValue = (context.customer.*c.field).GetString();

        const char* typed = c.typed;
        DialogAnswerer answerer(Text(c.captionKey), c.button, [typed](HWND dialog) {
            ::SendMessageA(::GetDlgItem(dialog, IDC_EDIT1), WM_SETTEXT, 0, LPARAM(typed));
        });
        const HWND window = page->m_hWnd;
        ::DispatchMessageA(&posted);
        EXPECT_EQ(answerer.Stop(), 1);

        switch (c.outcome) {
        case Restored:
            EXPECT_EQ(std::string(context.customer.*c.field), keptValue);
            EXPECT_EQ(Server().OrdersIds(), "");
            EXPECT_TRUE(::IsWindow(window));
            EXPECT_EQ(ClassOfPageSentToFrame(), "nothing");
            break;
        case SentAndRefreshed:
            EXPECT_EQ(Server().OrdersIds(), std::string(c.requestId) + ",1002");
            EXPECT_EQ(Server().OrdersField(c.sentField, -2), c.typed);
            EXPECT_EQ(Server().OrdersField("SerialID", -2), "S1");
            EXPECT_TRUE(::IsWindow(window));
            EXPECT_TRUE(Settle());
            // The rebuilt list shows what the order system now holds.
            EXPECT_NE(Html(page).find(c.typed), std::string::npos) << Html(page);
            EXPECT_EQ(ClassOfPageSentToFrame(), "nothing");
            break;
        case ErrorPage:
            EXPECT_EQ(Server().OrdersIds(), c.requestId);
            EXPECT_FALSE(::IsWindow(window));
            EXPECT_EQ(ClassOfPageSentToFrame(), typeid(CErrorDialog).name());
            break;
        }
        if (::IsWindow(window))
            DestroyPage(page);
    }
}

TEST_F(StatusPageCommands, InstallActionMovesToTheRequirementCheck)
{
    CStatusDialog* page = OpenWithRowForm("インストール開始", "S1", 1);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(BrowserOf(page).Submit("pos"));
    MSG posted = {};
    ASSERT_EQ(TakePostedAction(page, &posted), WPARAM(1));
    ::DispatchMessageA(&posted);
    EXPECT_EQ(ClassOfPageSentToFrame(), typeid(CCheckComputerDialog).name());
    EXPECT_EQ(std::string(context.customer.SerialID), "S1");
    EXPECT_EQ(LowerCase(context.phase), "lpcif");
}

TEST_F(StatusPageCommands, ContractButtonFollowsTheModeTheContentLeft)
{
    struct Case {
        const char* mode;
        const char* nextClass;
        const char* phase;  // null: the next page sets its own
    };
    const Case kCases[] = {
        {"新規契約", typeid(CCheckComputerDialog).name(), "lpcsif"},
        {"変更", typeid(CModifyStatusDialog).name(), nullptr},
        {"追加/変更", typeid(CModifyStatusDialog).name(), nullptr},
        {"解約", "nothing", "before"},
        {"", "nothing", "before"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.mode);
        CStatusDialog* page = Open(new CStatusDialog);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(ItemShown(page, IDC_AGREEMENTS));
        context.SetValue("AN08_MODE", c.mode);
        context.phase = "before";
        context.customer.NickName = "pc";
        context.customer.SerialID = "S1";
        context.customer.installationInProgress = 1;
        const HWND window = page->m_hWnd;
        Click(page, IDC_AGREEMENTS);
        EXPECT_EQ(ClassOfPageSentToFrame(), c.nextClass);
        EXPECT_EQ(::IsWindow(window) != FALSE, std::string(c.nextClass) == "nothing");
        EXPECT_EQ(std::string(context.GetValue("AN08_ORDER")), c.mode);
        if (c.phase) {
            EXPECT_EQ(LowerCase(context.phase), c.phase);
        }
        EXPECT_TRUE(context.customer.NickName.IsEmpty());
        EXPECT_TRUE(context.customer.SerialID.IsEmpty());
        EXPECT_EQ(context.customer.installationInProgress, 0);
        if (::IsWindow(window))
            DestroyPage(page);
    }
}

TEST_F(StatusPageCommands, RefreshRewritesTheListOrMovesToTheErrorPage)
{
    struct Case {
        const char* script;  // the answer to the refresh, "" for the model's
        const char* nextClass;
        const char* errorCode;
    };
    const Case kCases[] = {
        {"", "nothing", ""},
        {"\"status\": 500", typeid(CErrorDialog).name(), "EXG0000"},
        {"\"result\": \"0002\"", typeid(CErrorDialog).name(), ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.script);
        ASSERT_TRUE(Server().Reset());
        ModelWithOneSerial();
        if (*c.script) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.script));
        }
        context.response.agreements.RemoveAll();
        context.response.serials.RemoveAll();
        CStatusDialog* page = Open(new CStatusDialog);
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(Html(page), "<p>no contract</p>");
        ASSERT_TRUE(ItemShown(page, IDC_REFRESH));
        const HWND window = page->m_hWnd;
        Click(page, IDC_REFRESH);
        EXPECT_EQ(Server().OrdersIds(), "1002");
        EXPECT_EQ(ClassOfPageSentToFrame(), c.nextClass);
        if (std::string(c.nextClass) == "nothing") {
            EXPECT_TRUE(Settle());
            EXPECT_EQ(Html(page), "<table><tr>S1:pc1:one@example.jp</tr></table>");
            EXPECT_EQ(std::string(context.GetValue("AN08_MODE")), "追加/変更");
            DestroyPage(page);
        } else {
            EXPECT_FALSE(::IsWindow(window));
            EXPECT_EQ(std::string(context.errorCode), c.errorCode);
        }
    }
}

TEST_F(StatusPageCommands, AddAndCancelButtonsMoveOnAndAddCountsItsClick)
{
    struct Case {
        int id;
        bool shown;
        const char* nextClass;
        int pings;
        const char* order;
        const char* phase;  // null: the next page sets its own
    };
    const Case kCases[] = {
        {IDC_ADD, true, typeid(CCheckComputerDialog).name(), 1, "追加契約", "lpcsif"},
        {IDC_DEL, true, typeid(CModifyStatusDialog).name(), 0, "", nullptr},
        // A hidden button does nothing, even when its command comes.
        {IDC_ADD, false, "nothing", 0, "", "before"},
        {IDC_DEL, false, "nothing", 0, "", "before"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.id) + (c.shown ? " shown" : " hidden"));
        ASSERT_TRUE(Server().Reset());
        CStatusDialog* page = Open(new CStatusDialog);
        ASSERT_NE(page, nullptr);
        ::ShowWindow(::GetDlgItem(page->m_hWnd, c.id), c.shown ? SW_SHOW : SW_HIDE);
        context.SetValue("AN08_ORDER", "");
        context.phase = "before";
        const HWND window = page->m_hWnd;
        Click(page, c.id);
        EXPECT_EQ(ClassOfPageSentToFrame(), c.nextClass);
        EXPECT_EQ(std::string(context.GetValue("AN08_ORDER")), c.order);
        if (c.phase) {
            EXPECT_EQ(LowerCase(context.phase), c.phase);
        }
        EXPECT_EQ(HitsAfterWaiting(kAddPing, c.pings), c.pings);
        if (c.pings == 0) {
            // A ping that must not come gets the time to arrive all the same.
            ::Sleep(300);
            EXPECT_EQ(Server().Hits(kAddPing), 0);
        }
        if (::IsWindow(window))
            DestroyPage(page);
    }
}

TEST_F(StatusPageCommands, TermsOfUseOpenInTheDefaultBrowser)
{
    CStatusDialog* page = Open(new CStatusDialog);
    ASSERT_NE(page, nullptr);
    const std::string location = BrowserOf(page).LocationUrl();
    const size_t openedBefore = OpenedInDefaultBrowser().size();
    ::ShowWindow(::GetDlgItem(page->m_hWnd, IDC_SHOWEULA), SW_SHOW);
    Click(page, IDC_SHOWEULA);
    EXPECT_TRUE(Settle());
    ASSERT_EQ(OpenedInDefaultBrowser().size(), openedBefore + 1);
    EXPECT_EQ(OpenedInDefaultBrowser().back(), Server().Url("/contents/security/info/eula_guide_k.html"));
    EXPECT_EQ(BrowserOf(page).LocationUrl(), location);
    EXPECT_TRUE(::IsWindow(page->m_hWnd));
}

TEST_F(StatusPageCommands, OpeningThePageClearsTheInstallationInProgressFlag)
{
    context.customer.installationInProgress = 1;
    CStatusDialog* page = Open(new CStatusDialog);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(context.customer.installationInProgress, 0);
}

COLORREF BrushColour(LRESULT brush)
{
    LOGBRUSH info = {};
    if (!brush || !::GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof info, &info))
        return CLR_INVALID;
    return info.lbColor;
}

TEST_F(StatusPageCommands, StaticsAndButtonsArePaintedPale)
{
    CStatusDialog* page = Open(new CStatusDialog);
    ASSERT_NE(page, nullptr);
    const COLORREF kPale = RGB(245, 242, 173);
    struct Case {
        UINT message;
        int id;
        COLORREF brush;
        int backgroundMode;
    };
    const Case kCases[] = {
        {WM_CTLCOLORSTATIC, IDC_STATIC3, kPale, TRANSPARENT},
        {WM_CTLCOLORSTATIC, IDC_STATIC6, kPale, TRANSPARENT},
        {WM_CTLCOLORBTN, IDC_STATIC4, kPale, TRANSPARENT},
        {WM_CTLCOLORBTN, IDC_ADD, kPale, OPAQUE},
        {WM_CTLCOLORBTN, IDC_AGREEMENTS, kPale, OPAQUE},
        {WM_CTLCOLORSTATIC, IDC_DEL, kPale, OPAQUE},
        // Everything else keeps the white of every page.
        {WM_CTLCOLORSTATIC, IDC_STATIC2, RGB(255, 255, 255), OPAQUE},
        {WM_CTLCOLORSTATIC, IDC_STATIC7, RGB(255, 255, 255), OPAQUE},
        {WM_CTLCOLORBTN, IDC_REFRESH, RGB(255, 255, 255), OPAQUE},
    };
    const HDC dc = ::CreateCompatibleDC(nullptr);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.id);
        const HWND control = ::GetDlgItem(page->m_hWnd, c.id);
        ASSERT_NE(control, nullptr);
        ::SetBkMode(dc, OPAQUE);
        const LRESULT brush = ::SendMessageA(page->m_hWnd, c.message, WPARAM(dc), LPARAM(control));
        EXPECT_EQ(BrushColour(brush), c.brush);
        EXPECT_EQ(::GetBkMode(dc), c.backgroundMode);
    }
    ::DeleteDC(dc);
}

TEST_F(StatusPageCommands, BannerShowsTheStatusTextOnItsColour)
{
    CStatusDialog* page = Open(new CStatusDialog);
    ASSERT_NE(page, nullptr);
    const COLORREF kBanner = RGB(255, 204, 153);
    const int width = 300, height = 24;
    const HDC screen = ::GetDC(nullptr);
    const HDC dc = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);

    // Whether any pixel of the columns [from, to) differs from the banner's colour.
    const auto marked = [&](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = 0; y < height; ++y)
                if (::GetPixel(dc, x, y) != kBanner)
                    return true;
        return false;
    };
    struct Case {
        const char* text;
        bool textShown;
    };
    const Case kCases[] = {{"", false}, {"WWWW status", true}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text);
        ::SetDlgItemTextA(page->m_hWnd, IDC_STATIC11, c.text);
        const RECT white = {0, 0, width, height};
        ::FillRect(dc, &white, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_STATIC;
        item.CtlID = IDC_STATUSLINE;
        item.hwndItem = ::GetDlgItem(page->m_hWnd, IDC_STATUSLINE);
        item.hDC = dc;
        item.rcItem = white;
        EXPECT_EQ(::SendMessageA(page->m_hWnd, WM_DRAWITEM, IDC_STATUSLINE, LPARAM(&item)), TRUE);
        EXPECT_EQ(::GetPixel(dc, 0, 0), kBanner);
        EXPECT_EQ(::GetPixel(dc, width - 1, height - 1), kBanner);
        EXPECT_FALSE(marked(0, 2));
        // Left of x = 20 stands only the icon (from x = 2, 16 wide); the text starts there.
        EXPECT_FALSE(marked(18, 20));
        EXPECT_EQ(marked(20, width), c.textShown);
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

}  // namespace
