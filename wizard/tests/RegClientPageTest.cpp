// What the registration page and the pre-install page show and where their buttons lead, on
// the page bench with the fake order system; message boxes are answered from a second thread.
#include "PageContentBench.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <typeinfo>

#include "CKAVODlg.h"
#include "CTextDef.h"
#include "pages/CErrorDialog.h"
#include "pages/CExternalEULADialog.h"
#include "pages/CInstallDialog.h"
#include "pages/COPSProgressDialog.h"
#include "pages/CPreInstallDialog.h"
#include "pages/CRegClientDialog.h"

namespace {

const char kSerial[] = "SN000101";
const char kOptionDisablePing[] = "/contents/security/kavo/tm_count/b_n08_disable_k.html";

template <typename Page>
std::string ClassName()
{
    return typeid(Page).name();
}

std::string Text(const char* key)
{
    return CTextDef::GetText(key).GetString();
}

// Answers the first modal window with this caption that the test's thread opens: the
// message box's text is kept and button pressed; nothing when none comes within 10 s.
class ModalAnswer {
public:
    ModalAnswer(std::string caption, int button)
        : m_thread([this, caption, button] {
              for (int i = 0; i < 500; ++i) {
                  for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32770", caption.c_str()); w;
                       w = ::FindWindowExA(nullptr, w, "#32770", caption.c_str())) {
                      if (!::IsWindowVisible(w) || !::GetWindow(w, GW_OWNER))
                          continue;
                      char text[1024] = {};
                      ::GetDlgItemTextA(w, 0xFFFF, text, sizeof text);
                      m_text = text;
                      ::PostMessageA(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(::GetDlgItem(w, button)));
                      m_shown = true;
                      return;
                  }
                  ::Sleep(20);
              }
          })
    {
    }
    ~ModalAnswer() { Join(); }
    void Join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    bool Shown()
    {
        Join();
        return m_shown;
    }
    const std::string& TextShown()
    {
        Join();
        return m_text;
    }

private:
    std::atomic<bool> m_shown{false};
    std::string m_text;
    std::thread m_thread;
};

class RegClientPage : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        context.customer.VeldinCommonID = "C0001";
        context.customer.AccessKey = "KEY0001";
        ASSERT_TRUE(Server().OrdersModel("\"serials\": [{\"SerialID\": \"SN000101\", \"SerialStatus\": 1}]"));
    }

    static void StartNotice(const CWBDialog* page) { ::SendMessageA(page->m_hWnd, WM_KAVO_PAGE, PAGECMD_START, 0); }

    static void Type(const CWBDialog* page, int id, const char* text) { ::SetDlgItemTextA(page->m_hWnd, id, text); }

    // The registration page opened for the serial in status (absent: no entry) and started.
    CRegClientDialog* OpenFor(int status, const char* order = "インストール")
    {
        context.customer.SerialID = kSerial;
        if (status >= 0)
            AddSerial(kSerial, status, "office", "", "sn@example.jp");
        context.SetValue("AN08_ORDER", order);
        CRegClientDialog* page = Open(new CRegClientDialog);
        if (page)
            StartNotice(page);
        return page;
    }

    // Clicks Next (it runs any request on this thread) and takes the page handed over.
    std::string NextLeadsTo(CRegClientDialog* page)
    {
        Click(page, IDC_NEXT);
        CWBDialog* next = nullptr;
        if (!TakePageSentToFrame(&next))
            return "(stayed)";
        const std::string name = ClassOf(next);
        DestroyPage(next);
        return name;
    }
};

TEST_F(RegClientPage, FieldsFollowTheSerialsStatus)
{
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof computer;
    ASSERT_TRUE(::GetComputerNameA(computer, &size));
    struct Case {
        int status;  // -1: no entry
        BOOL grants;
        std::string nickName, mail;
        bool enabled, checked;
    };
    const Case kCases[] = {
        {-1, TRUE, computer, "al@example.jp", true, true},
        {0, TRUE, computer, "al@example.jp", true, true},
        {1, FALSE, computer, "al@example.jp", true, true},
        {3, FALSE, "home", "home@example.jp", true, true},
        {2, FALSE, "home", "home@example.jp", false, false},
        {4, TRUE, "home", "home@example.jp", false, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.status);
        context.response.serials.RemoveAll();
        context.response.customerInformation.MailAddressAL = "al@example.jp";
        context.customer.NickName = "home";
        context.customer.MailAddressSN = "home@example.jp";
        context.customer.SerialID = kSerial;
        if (c.status >= 0) {
            AddSerial(kSerial, c.status, "office", "", "sn@example.jp");
            context.response.serials[0].GrantGetMailAddress = c.grants;
            context.response.serials[0].GrantGetPCInfo = c.grants;
        }
        CRegClientDialog* page = Open(new CRegClientDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(ItemText(page, IDC_STATIC5), kSerial);
        EXPECT_EQ(ItemText(page, IDC_EDIT1), c.nickName);
        EXPECT_EQ(ItemText(page, IDC_EDIT2), c.mail);
        for (int id : {IDC_EDIT1, IDC_EDIT2, IDC_CHECK1, IDC_CHECK2})
            EXPECT_EQ(ItemEnabled(page, id), c.enabled) << id;
        for (int id : {IDC_CHECK1, IDC_CHECK2})
            EXPECT_EQ(::IsDlgButtonChecked(page->m_hWnd, id) == BST_CHECKED, c.checked) << id;
        EXPECT_TRUE(ItemEnabled(page, IDC_NEXT));
        DestroyPage(page);
    }
}

TEST_F(RegClientPage, NextFollowsTheNicknameField)
{
    CRegClientDialog* page = OpenFor(1);
    ASSERT_NE(page, nullptr);
    Type(page, IDC_EDIT1, "");
    EXPECT_FALSE(ItemEnabled(page, IDC_NEXT));
    Type(page, IDC_EDIT1, "pc");
    EXPECT_TRUE(ItemEnabled(page, IDC_NEXT));
    DestroyPage(page);
}

TEST_F(RegClientPage, SerialBeingInstalledGoesOnWithoutRequestEvenWithoutNickname)
{
    for (int status : {2, 4}) {
        SCOPED_TRACE(status);
        ASSERT_TRUE(Server().Reset());
        context.response.serials.RemoveAll();
        context.customer.NickName = "";
        CRegClientDialog* page = OpenFor(status);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(ItemText(page, IDC_EDIT1), "");
        EXPECT_TRUE(ItemEnabled(page, IDC_NEXT));
        EXPECT_EQ(NextLeadsTo(page), ClassName<CPreInstallDialog>());
        EXPECT_EQ(Server().OrdersIds(), "");
        EXPECT_EQ(std::string(context.GetValue("INSTALL_TYPE")), "CUSTOM");
    }
}

TEST_F(RegClientPage, NoSerialToInstallShowsTheUnexpectedErrorWithoutRequest)
{
    context.response.serials.RemoveAll();
    AddSerial("OTHER", 3);
    context.SetValue("AN08_ORDER", "インストール");
    CRegClientDialog* page = Open(new CRegClientDialog);
    ASSERT_NE(page, nullptr);
    StartNotice(page);
    CWBDialog* next = nullptr;
    ASSERT_TRUE(TakePageSentToFrame(&next));
    EXPECT_EQ(ClassOf(next), ClassName<CErrorDialog>());
    DestroyPage(next);
    EXPECT_EQ(std::string(context.errorCode), "E_UNEXPECTED");
    EXPECT_EQ(Server().OrdersIds(), "");
}

TEST_F(RegClientPage, NicknameProblemsWarnWithTheOffendingCharacter)
{
    for (const char* key : {"COMMON_NICKNAME_INPUT_ERR_MESSAGE_1", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_2",
                            "COMMON_NICKNAME_INPUT_ERR_MESSAGE_3", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_4"})
        CTextDef::SetText(key, (std::string(key) + " [&ErrorChar;]").c_str());
    struct Case {
        const char* nickName;
        const char* key;
        const char* offending;
    };
    const Case kCases[] = {
        {"", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_2", ""},
        {"pc\xB1", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_4", "\xB1"},
        {"pc\x7F", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_3", "\x7F"},
        {"   ", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_3", "   "},
        {"taken", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_1", "taken"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.nickName);
        context.response.serials.RemoveAll();
        AddSerial("OTHER", 3, "taken");
        CRegClientDialog* page = OpenFor(1);
        ASSERT_NE(page, nullptr);
        Type(page, IDC_EDIT1, c.nickName);
        const std::string expected = std::string(c.key) + " [" + c.offending + "]";
        {
            ModalAnswer answer(Text("COMMON_NICKNAME_INPUT_ERR_TITLE"), IDOK);
            Click(page, IDC_NEXT);
            ASSERT_TRUE(answer.Shown());
            EXPECT_EQ(answer.TextShown(), expected);
        }
        CWBDialog* next = nullptr;
        EXPECT_FALSE(TakePageSentToFrame(&next));
        EXPECT_EQ(Server().OrdersIds(), "");
        DestroyPage(page);
    }
}

TEST_F(RegClientPage, MailAddressChecks)
{
    struct Case {
        const char* mail;
        const char* caption;
        int button;
        const char* message;  // the warning's key; null for the question
        bool goesOn;
    };
    const Case kCases[] = {
        {"\x82\xA0@example.jp", "COMMON_TITLE", IDOK, "B_E07_MESSAGE_6", false},
        {"a b@example.jp", "COMMON_TITLE", IDOK, "B_E07_MESSAGE_7", false},
        {"", "COMMON_TITLE", IDC_MSG_BUTTON1, nullptr, false},
        {"", "COMMON_TITLE", IDC_MSG_BUTTON2, nullptr, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.mail) + " " + std::to_string(c.button));
        ASSERT_TRUE(Server().Reset());
        ASSERT_TRUE(Server().OrdersModel("\"serials\": [{\"SerialID\": \"SN000101\", \"SerialStatus\": 1}]"));
        context.response.serials.RemoveAll();
        context.customer.MailAddressSN = "old@example.jp";
        CRegClientDialog* page = OpenFor(1);
        ASSERT_NE(page, nullptr);
        Type(page, IDC_EDIT1, "pc");
        Type(page, IDC_EDIT2, c.mail);
        ModalAnswer answer(Text(c.caption), c.button);
        Click(page, IDC_NEXT);
        ASSERT_TRUE(answer.Shown());
        if (c.message) {
            EXPECT_EQ(answer.TextShown(), Text(c.message));
        }
        CWBDialog* next = nullptr;
        const bool handed = TakePageSentToFrame(&next);
        EXPECT_EQ(handed, c.goesOn);
        if (handed) {
            EXPECT_EQ(ClassOf(next), ClassName<CPreInstallDialog>());
            DestroyPage(next);
            EXPECT_EQ(std::string(context.customer.MailAddressSN), "");
            EXPECT_EQ(Server().OrdersField("MailAddressSN"), "");
        } else {
            EXPECT_EQ(Server().OrdersIds(), "");
            DestroyPage(page);
        }
    }
}

TEST_F(RegClientPage, RegistrationSendsTheChoiceAndLeadsOnByOrder)
{
    struct Case {
        const char* order;
        const char* migration;
        const char* script;  // an answer of the order system for "1005"; null: the model's
        std::string next;
        const char* ids;  // null: the client's retries decide
    };
    const Case kCases[] = {
        {"インストール", "", nullptr, ClassName<CPreInstallDialog>(), "1005"},
        {"新規契約", "H", nullptr, ClassName<CInstallDialog>(), "1005"},
        {"追加契約", "x", nullptr, ClassName<CPreInstallDialog>(), "1005"},
        {"インストール", "", "\"result\": \"9001\"", ClassName<CErrorDialog>(), "1005"},
        // A failed exchange is a failure even with the earlier answer's "0000" in the context.
        {"インストール", "", "\"mode\": \"refuse\", \"times\": 2", ClassName<CErrorDialog>(), nullptr},
        {"インストール", "", "\"body\": \"not xml\"", ClassName<CErrorDialog>(), "1005"},
        {"解約", "", nullptr, ClassName<CErrorDialog>(), ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.order) + " " + c.migration + " " + (c.script ? c.script : ""));
        ASSERT_TRUE(Server().Reset());
        ASSERT_TRUE(Server().OrdersModel("\"serials\": [{\"SerialID\": \"SN000101\", \"SerialStatus\": 1}]"));
        if (c.script) {
            ASSERT_TRUE(Server().OrdersScript("1005", c.script));
        }
        context.response.serials.RemoveAll();
        context.errorCode.Empty();
        context.response.ResultCode = "0000";
        context.SetValue("MIGRATION_TYPE", c.migration);
        CRegClientDialog* page = OpenFor(1, c.order);
        ASSERT_NE(page, nullptr);
        Type(page, IDC_EDIT1, "pc");
        Type(page, IDC_EDIT2, "me@example.jp");
        ::CheckDlgButton(page->m_hWnd, IDC_CHECK1, BST_UNCHECKED);
        EXPECT_EQ(NextLeadsTo(page), c.next);
        if (c.ids) {
            EXPECT_EQ(Server().OrdersIds(), c.ids);
        }
        if (c.ids && *c.ids) {
            EXPECT_EQ(Server().OrdersField("SerialID"), kSerial);
            EXPECT_EQ(Server().OrdersField("NickName"), "pc");
            EXPECT_EQ(Server().OrdersField("MailAddressSN"), "me@example.jp");
        }
        EXPECT_EQ(std::string(context.customer.GrantGetMailAddress), "0");
        EXPECT_EQ(std::string(context.customer.GrantGetPCInfo), "1");
        if (std::string(c.order) == "解約") {
            EXPECT_EQ(std::string(context.errorCode), "E_UNEXPECTED");
        }
        EXPECT_EQ(std::string(context.GetValue("INSTALL_TYPE")), "CUSTOM");
    }
}

TEST_F(RegClientPage, ReinstallHandsTheRequestToTheProgressPage)
{
    for (const char* migration : {"", "S"}) {
        SCOPED_TRACE(migration);
        context.SetValue("MIGRATION_TYPE", migration);
        context.SetValue("ops_retry_counter", "..");
        context.customer.NickName = "home";
        context.customer.MailAddressSN = "home@example.jp";
        context.response.serials.RemoveAll();
        CRegClientDialog* page = OpenFor(3, "再インストール");
        ASSERT_NE(page, nullptr);
        CString message;
        page->GetExpandedText(message, "B_N07_A_IDC_STATIC1");
        Click(page, IDC_NEXT);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), ClassName<COPSProgressDialog>());
        DestroyPage(next);
        EXPECT_EQ(Server().OrdersIds(), "");
        EXPECT_EQ(std::string(context.GetValue("ops_retry_counter")), "");
        EXPECT_EQ(std::string(context.GetValue("COPSProgressDialog::ProcID")), "1006");
        EXPECT_EQ(std::string(context.GetValue("COPSProgressDialog::NextPage")),
                  *migration ? "CInstallDialog" : "CPreInstallDialog");
        EXPECT_EQ(std::string(context.GetValue("COPSProgressDialog::ErrorPage")), "CErrorDialog");
        EXPECT_EQ(std::string(context.GetValue("COPSProgressDialog::MessageText")), std::string(message));
    }
}

TEST_F(RegClientPage, PreInstallChoiceLeadsToTermsOrInstallation)
{
    CTextDef::SetText("COMMON_URL_OPTION_DISABLE", (Server().BaseUrl() + kOptionDisablePing).c_str());
    struct Case {
        int radio;
        std::string next;
        int pings;
        const char* option;
    };
    const Case kCases[] = {
        {IDC_RADIO1, ClassName<CExternalEULADialog>(), 0, ""},
        {IDC_RADIO2, ClassName<CInstallDialog>(), 1, "DISABLE"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.radio);
        ASSERT_TRUE(Server().Reset());
        context.values.RemoveAll();
        CPreInstallDialog* page = Open(new CPreInstallDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(::IsDlgButtonChecked(page->m_hWnd, IDC_RADIO1), UINT(BST_CHECKED));
        ::CheckRadioButton(page->m_hWnd, IDC_RADIO1, IDC_RADIO2, c.radio);
        Click(page, IDC_INSTALL);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.next);
        DestroyPage(next);
        EXPECT_EQ(HitsAfterWaiting(kOptionDisablePing, c.pings), c.pings);
        EXPECT_EQ(std::string(context.GetValue("OPTIONAL_FUNCTION")), c.option);
    }
}

}  // namespace
