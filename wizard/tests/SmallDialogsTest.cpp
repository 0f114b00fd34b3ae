// The small modal dialogs, run modally on the test's thread and driven from a second one
// the way a user would: typing by WM_SETTEXT, clicks posted as BN_CLICKED.
#include "dialogs/CChangeIDDialog.h"
#include "dialogs/CChangeMailAddressDialog.h"
#include "dialogs/CMessageDialog.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <thread>

#include "CPageContext.h"
#include "CTextDef.h"
#include "KavoDriver.h"

namespace {

std::string Text(const char* key)
{
    return CTextDef::GetText(key).GetString();
}

std::string ItemText(HWND dialog, int id)
{
    char text[1024] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The visible dialog (or message box) with this caption, waiting up to timeout; null if none.
HWND WaitForDialog(const std::string& caption, DWORD timeout = 10000)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        HWND window = FindTopLevelWindowOf(::GetCurrentProcessId(), "#32770", caption.c_str());
        if (window && ::IsWindowVisible(window))
            return window;
        if (::GetTickCount() - start > timeout)
            return nullptr;
        ::Sleep(20);
    }
}

// A second dialog with the same caption as owner, above it; null if none comes.
HWND WaitForDialogOwnedBy(HWND owner, const std::string& caption, DWORD timeout = 10000)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        for (HWND window = ::FindWindowExA(nullptr, nullptr, "#32770", caption.c_str()); window;
             window = ::FindWindowExA(nullptr, window, "#32770", caption.c_str()))
            if (window != owner && ::IsWindowVisible(window) && ::GetWindow(window, GW_OWNER) == owner)
                return window;
        if (::GetTickCount() - start > timeout)
            return nullptr;
        ::Sleep(20);
    }
}

// Pastes count bytes of 'n' over the whole text of the dialog's field 210; its text after.
std::string PasteIntoField(HWND dialog, size_t count)
{
    HWND edit = ::GetDlgItem(dialog, IDC_EDIT1);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    if (::OpenClipboard(edit)) {
        ::EmptyClipboard();
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, count + 1);
        std::memset(::GlobalLock(memory), 'n', count);
        ::GlobalUnlock(memory);
        ::SetClipboardData(CF_TEXT, memory);
        ::CloseClipboard();
    }
    ::SendMessageA(edit, WM_PASTE, 0, 0);
    return ItemText(dialog, IDC_EDIT1);
}

void Click(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(dialog, id)));
}

// Clicks and waits until the window is gone; false when it stays.
bool ClickAndWaitGone(HWND dialog, int id)
{
    Click(dialog, id);
    for (int i = 0; i < 250 && ::IsWindow(dialog); ++i)
        ::Sleep(20);
    return !::IsWindow(dialog);
}

// True when the window is still there after the messages it got so far were handled.
bool StaysOpen(HWND dialog)
{
    ::Sleep(200);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    return ::IsWindow(dialog) && ::IsWindowVisible(dialog);
}

// Runs script against the dialog of this caption on a second thread while the test's thread
// runs the modal loop. When the dialog never shows, the test's modal loop is ended by WM_QUIT.
class Driver {
public:
    Driver(std::string caption, std::function<void(HWND)> script)
        : m_thread([caption, script, owner = ::GetCurrentThreadId()] {
              HWND dialog = WaitForDialog(caption);
              if (!dialog) {
                  ::PostThreadMessageA(owner, WM_QUIT, 0, 0);
                  return;
              }
              script(dialog);
          })
    {
    }
    ~Driver() { m_thread.join(); }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

private:
    std::thread m_thread;
};

// Answers the message box with caption that dialog opens: its text, or "" when none came.
std::string AnswerMessageBox(HWND dialog, const std::string& caption)
{
    HWND box = WaitForDialogOwnedBy(dialog, caption);
    if (!box)
        return "";
    const std::string text = ItemText(box, 0xFFFF);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 250 && ::IsWindow(box); ++i)
        ::Sleep(20);
    return text;
}

COpsSerialInfo Serial(const char* id, const char* nickname, const char* mail = "", BOOL grant = FALSE)
{
    COpsSerialInfo serial;
    serial.SerialID = id;
    serial.NickName = nickname;
    serial.MailAddressSN = mail;
    serial.GrantGetMailAddress = grant;
    return serial;
}

class SmallDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
        context.customer.SerialID = "S2";
        context.response.serials.Add(Serial("S1", "office", "one@example.jp", TRUE));
        // An older entry of the selected serial: the last one counts.
        context.response.serials.Add(Serial("S2", "stale", "stale@example.jp", TRUE));
        context.response.serials.Add(Serial("S2", "home", "two@example.jp", FALSE));
    }

    CPageContext context;
};

// ---- CChangeIDDialog

TEST_F(SmallDialog, ChangeIdShowsTheSelectedSerialsNicknameAndTexts)
{
    std::string caption, description, editCaption, remark, nickname, okText, cancelText, pasted;
    INT_PTR result = 0;
    {
        Driver driver(Text("CHID_TITLE"), [&](HWND dialog) {
            caption = WindowText(dialog);
            description = ItemText(dialog, IDC_STATIC1);
            editCaption = ItemText(dialog, IDC_STATIC2);
            remark = ItemText(dialog, IDC_STATIC3);
            nickname = ItemText(dialog, IDC_EDIT1);
            okText = ItemText(dialog, IDOK);
            cancelText = ItemText(dialog, IDCANCEL);
            // The field takes 30 bytes at most.
            pasted = PasteIntoField(dialog, 40);
            ClickAndWaitGone(dialog, IDCANCEL);
        });
        CChangeIDDialog dialog(&context);
        result = dialog.DoModal(nullptr);
    }
    EXPECT_EQ(result, 2);
    EXPECT_EQ(caption, Text("CHID_TITLE"));
    EXPECT_EQ(description, Text("CHID_DESCRIPTION"));
    EXPECT_EQ(editCaption, Text("CHID_EDITCAPTION"));
    EXPECT_EQ(remark, Text("CHID_APPENDIX"));
    EXPECT_EQ(nickname, "home");
    EXPECT_EQ(okText, Text("CHID_IDOK"));
    EXPECT_EQ(cancelText, Text("CHID_IDCANCEL"));
    EXPECT_EQ(pasted, std::string(30, 'n'));
    // Cancelled: the context keeps what it had.
    EXPECT_STREQ(context.customer.NickName, "");
}

TEST_F(SmallDialog, ChangeIdWithoutSelectedSerialStartsEmptyAndAppliesAValidName)
{
    context.customer.SerialID = "S9";
    std::string nickname = "unset";
    INT_PTR result = 0;
    {
        Driver driver(Text("CHID_TITLE"), [&](HWND dialog) {
            nickname = ItemText(dialog, IDC_EDIT1);
            ::SetDlgItemTextA(dialog, IDC_EDIT1, "\x8E\xA9\x91\xEE");  // 自宅
            ClickAndWaitGone(dialog, IDOK);
        });
        CChangeIDDialog dialog(&context);
        result = dialog.DoModal(nullptr);
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(nickname, "");
    EXPECT_STREQ(context.customer.NickName, "\x8E\xA9\x91\xEE");
}

struct NicknameCase {
    const char* name;
    const char* typed;
    const char* key;
    const char* errorChar;
};

void PrintTo(const NicknameCase& c, std::ostream* os)
{
    *os << c.name;
}

class ChangeIdRefusal : public SmallDialog, public ::testing::WithParamInterface<NicknameCase> {};

TEST_P(ChangeIdRefusal, WarnsKeepsTheTypedTextAndStaysOpen)
{
    const NicknameCase& c = GetParam();
    std::string message;
    bool stayed = false;
    INT_PTR result = 0;
    {
        Driver driver(Text("CHID_TITLE"), [&](HWND dialog) {
            ::SetDlgItemTextA(dialog, IDC_EDIT1, c.typed);
            Click(dialog, IDOK);
            message = AnswerMessageBox(dialog, Text("COMMON_NICKNAME_INPUT_ERR_TITLE"));
            stayed = StaysOpen(dialog);
            ClickAndWaitGone(dialog, IDCANCEL);
        });
        CChangeIDDialog dialog(&context);
        result = dialog.DoModal(nullptr);
    }
    std::string expected = Text(c.key);
    const std::string marker = "&ErrorChar;";
    if (expected.find(marker) != std::string::npos)
        expected.replace(expected.find(marker), marker.size(), c.errorChar);
    EXPECT_EQ(message, expected);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(result, 2);
    EXPECT_STREQ(context.customer.NickName, c.typed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangeIdRefusal,
    ::testing::Values(NicknameCase{"Empty", "", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_2", ""},
                      NicknameCase{"HalfWidthKatakana", "a\xB1", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_4", "\xB1"},
                      NicknameCase{"AnotherSerialsNickname", "office", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_1", ""},
                      NicknameCase{"CharacterNotTaken", "a\x7F", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_3", "\x7F"},
                      NicknameCase{"ProblemCharacter", "a\x87\x40", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_3",
                                   "\x87\x40"},
                      NicknameCase{"OnlyBlanks", "   ", "COMMON_NICKNAME_INPUT_ERR_MESSAGE_3", "   "}),
    [](const ::testing::TestParamInfo<NicknameCase>& info) { return std::string(info.param.name); });

TEST_F(SmallDialog, ChangeIdIgnoresHiddenButtons)
{
    bool stayed = false;
    INT_PTR result = 0;
    {
        Driver driver(Text("CHID_TITLE"), [&](HWND dialog) {
            ::SetDlgItemTextA(dialog, IDC_EDIT1, "garden");
            ::ShowWindow(::GetDlgItem(dialog, IDOK), SW_HIDE);
            ::ShowWindow(::GetDlgItem(dialog, IDCANCEL), SW_HIDE);
            Click(dialog, IDOK);
            Click(dialog, IDCANCEL);
            stayed = StaysOpen(dialog);
            ::ShowWindow(::GetDlgItem(dialog, IDCANCEL), SW_SHOW);
            ClickAndWaitGone(dialog, IDCANCEL);
        });
        CChangeIDDialog dialog(&context);
        result = dialog.DoModal(nullptr);
    }
    EXPECT_TRUE(stayed);
    EXPECT_EQ(result, 2);
    EXPECT_STREQ(context.customer.NickName, "");
}

// ---- CChangeMailAddressDialog

TEST_F(SmallDialog, ChangeMailShowsTheSelectedSerialsAddressAndPermission)
{
    struct Case {
        const char* serialId;
        const char* address;
        UINT checked;
    };
    const Case cases[] = {{"S2", "two@example.jp", BST_UNCHECKED}, {"S1", "one@example.jp", BST_CHECKED},
                          {"S9", "", BST_CHECKED}};
    for (const Case& c : cases) {
        context.customer.SerialID = c.serialId;
        std::string caption, texts, address, pasted;
        UINT checked = 99;
        INT_PTR result = 0;
        {
            Driver driver(Text("CHMAILADDR_TITLE"), [&](HWND dialog) {
                caption = WindowText(dialog);
                texts = ItemText(dialog, IDC_STATIC1) + "|" + ItemText(dialog, IDC_STATIC2) + "|" +
                        ItemText(dialog, IDC_STATIC3) + "|" + ItemText(dialog, IDC_CHECK1) + "|" +
                        ItemText(dialog, IDOK) + "|" + ItemText(dialog, IDCANCEL);
                address = ItemText(dialog, IDC_EDIT1);
                checked = ::IsDlgButtonChecked(dialog, IDC_CHECK1);
                // The field takes 60 bytes at most.
                pasted = PasteIntoField(dialog, 70);
                ClickAndWaitGone(dialog, IDCANCEL);
            });
            CChangeMailAddressDialog dialog(&context);
            result = dialog.DoModal(nullptr);
        }
        EXPECT_EQ(result, 2) << c.serialId;
        EXPECT_EQ(caption, Text("CHMAILADDR_TITLE"));
        EXPECT_EQ(texts, Text("CHMAILADDR_IDC_STATIC1") + "|" + Text("CHMAILADDR_IDC_STATIC2") + "|" +
                             Text("CHMAILADDR_IDC_STATIC3") + "|" + Text("CHMAILADDR_IDC_CHECK1") + "|" +
                             Text("CHMAILADDR_IDOK") + "|" + Text("CHMAILADDR_IDCANCEL"));
        EXPECT_EQ(address, c.address) << c.serialId;
        EXPECT_EQ(checked, c.checked) << c.serialId;
        EXPECT_EQ(pasted, std::string(60, 'n')) << c.serialId;
        EXPECT_STREQ(context.customer.MailAddressSN, "") << c.serialId;
    }
}

TEST_F(SmallDialog, ChangeMailAppliesTheAddressWithThePermissionOfTheCheckBox)
{
    struct Case {
        UINT check;
        const char* grant;
    };
    for (const Case& c : {Case{BST_CHECKED, "1"}, Case{BST_UNCHECKED, "0"}}) {
        INT_PTR result = 0;
        {
            Driver driver(Text("CHMAILADDR_TITLE"), [&](HWND dialog) {
                ::SetDlgItemTextA(dialog, IDC_EDIT1, "new.name+tag@example.jp");
                ::CheckDlgButton(dialog, IDC_CHECK1, c.check);
                ClickAndWaitGone(dialog, IDOK);
            });
            CChangeMailAddressDialog dialog(&context);
            result = dialog.DoModal(nullptr);
        }
        EXPECT_EQ(result, 1);
        EXPECT_STREQ(context.customer.MailAddressSN, "new.name+tag@example.jp");
        EXPECT_STREQ(context.customer.GrantGetMailAddress, c.grant);
    }
}

TEST_F(SmallDialog, ChangeMailWarnsOfCharactersAnAddressCannotHold)
{
    struct Case {
        const char* typed;
        const char* key;
    };
    for (const Case& c : {Case{"a\x82\xA0@example.jp", "A_E08_MESSAGE_6"}, Case{"a b@example.jp", "B_E07_MESSAGE_7"},
                          Case{"a\t@example.jp", "B_E07_MESSAGE_7"}}) {
        std::string message;
        bool stayed = false;
        INT_PTR result = 0;
        {
            Driver driver(Text("CHMAILADDR_TITLE"), [&](HWND dialog) {
                ::SetDlgItemTextA(dialog, IDC_EDIT1, c.typed);
                Click(dialog, IDOK);
                message = AnswerMessageBox(dialog, Text("COMMON_TITLE"));
                stayed = StaysOpen(dialog);
                ClickAndWaitGone(dialog, IDCANCEL);
            });
            CChangeMailAddressDialog dialog(&context);
            result = dialog.DoModal(nullptr);
        }
        EXPECT_EQ(message, Text(c.key)) << c.typed;
        EXPECT_TRUE(stayed) << c.typed;
        EXPECT_EQ(result, 2) << c.typed;
        EXPECT_STREQ(context.customer.MailAddressSN, "") << c.typed;
    }
}

TEST_F(SmallDialog, ChangeMailEmptyAddressAsksWhetherToRegisterNone)
{
    context.customer.MailAddressSN = "before@example.jp";
    context.customer.GrantGetMailAddress = "1";
    struct Case {
        int button;
        INT_PTR result;
        const char* address;
        const char* grant;
    };
    // The second button registers no address; the first goes back to the field.
    for (const Case& c : {Case{IDC_MSG_BUTTON1, 2, "before@example.jp", "1"}, Case{IDC_MSG_BUTTON2, 1, "", "0"}}) {
        std::string message, first, second;
        bool questionGone = false;
        bool stayed = false;
        INT_PTR result = 0;
        {
            Driver driver(Text("CHMAILADDR_TITLE"), [&](HWND dialog) {
                ::SetDlgItemTextA(dialog, IDC_EDIT1, "");
                Click(dialog, IDOK);
                HWND question = WaitForDialogOwnedBy(dialog, Text("COMMON_TITLE"));
                if (!question) {
                    ClickAndWaitGone(dialog, IDCANCEL);
                    return;
                }
                message = ItemText(question, IDC_MSG_TEXT);
                first = ItemText(question, IDC_MSG_BUTTON1);
                second = ItemText(question, IDC_MSG_BUTTON2);
                questionGone = ClickAndWaitGone(question, c.button);
                stayed = StaysOpen(dialog);
                if (stayed)
                    ClickAndWaitGone(dialog, IDCANCEL);
            });
            CChangeMailAddressDialog dialog(&context);
            result = dialog.DoModal(nullptr);
        }
        EXPECT_EQ(message, Text("MSGDLG_MBM03_MESSAGE"));
        EXPECT_EQ(first, Text("MSGDLG_MBM03_BTN1_YES"));
        EXPECT_EQ(second, Text("MSGDLG_MBM03_BTN2_NO"));
        EXPECT_TRUE(questionGone);
        EXPECT_EQ(stayed, c.result == 2);
        EXPECT_EQ(result, c.result);
        EXPECT_STREQ(context.customer.MailAddressSN, c.address);
        EXPECT_STREQ(context.customer.GrantGetMailAddress, c.grant);
    }
}

// ---- CMessageDialog

const char kCaption[] = "Question";

INT_PTR RunMessageDialog(const std::string& message, std::function<void(HWND)> script)
{
    Driver driver(kCaption, std::move(script));
    CMessageDialog dialog(message.c_str(), kCaption);
    dialog.SetFirstButtonText("Yes");
    dialog.SetSecondButtonText("No");
    return dialog.DoModal(nullptr);
}

TEST(MessageDialog, EndsOnlyByItsTwoButtons)
{
    for (const int button : {IDC_MSG_BUTTON1, IDC_MSG_BUTTON2}) {
        bool stayed = false;
        bool closeGreyed = false;
        const INT_PTR result = RunMessageDialog("Register?", [&](HWND dialog) {
            const UINT state = ::GetMenuState(::GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
            closeGreyed = (state & MF_GRAYED) != 0;
            ::PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            ::PostMessageA(dialog, WM_CLOSE, 0, 0);
            stayed = StaysOpen(dialog);
            ClickAndWaitGone(dialog, button);
        });
        EXPECT_TRUE(closeGreyed);
        EXPECT_TRUE(stayed);
        EXPECT_EQ(result, button == IDC_MSG_BUTTON1 ? 1 : 2);
    }
}

// Where the layout put things, in client pixels.
struct Layout {
    RECT client;
    RECT text, icon, first, second;
    RECT templateClient;  // the template's own size
};

RECT ChildRect(HWND dialog, int id)
{
    RECT rect;
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

Layout LayoutOf(const std::string& message, std::string* shownText = nullptr, std::string* buttons = nullptr,
                bool* white = nullptr)
{
    Layout layout = {};
    RunMessageDialog(message, [&](HWND dialog) {
        ::GetClientRect(dialog, &layout.client);
        layout.text = ChildRect(dialog, IDC_MSG_TEXT);
        layout.icon = ChildRect(dialog, IDC_MSG_ICON);
        layout.first = ChildRect(dialog, IDC_MSG_BUTTON1);
        layout.second = ChildRect(dialog, IDC_MSG_BUTTON2);
        layout.templateClient = {0, 0, 200, 72};
        ::MapDialogRect(dialog, &layout.templateClient);
        if (shownText)
            *shownText = ItemText(dialog, IDC_MSG_TEXT);
        if (buttons)
            *buttons = ItemText(dialog, IDC_MSG_BUTTON1) + "|" + ItemText(dialog, IDC_MSG_BUTTON2) + "|" +
                       WindowText(dialog);
        if (white) {
            HDC dc = ::GetDC(dialog);
            *white = HGDIOBJ(::SendMessageA(dialog, WM_CTLCOLORDLG, WPARAM(dc), LPARAM(dialog))) ==
                         ::GetStockObject(WHITE_BRUSH) &&
                     HGDIOBJ(::SendMessageA(dialog, WM_CTLCOLORSTATIC, WPARAM(dc),
                                            LPARAM(::GetDlgItem(dialog, IDC_MSG_TEXT)))) ==
                         ::GetStockObject(WHITE_BRUSH);
            ::ReleaseDC(dialog, dc);
        }
        ClickAndWaitGone(dialog, IDC_MSG_BUTTON2);
    });
    return layout;
}

void ExpectButtonsInTheCorner(const Layout& l)
{
    const int bw = l.first.right - l.first.left;
    const int bh = l.first.bottom - l.first.top;
    EXPECT_EQ(l.second.left, l.client.right - bw - 17);
    EXPECT_EQ(l.second.top, l.client.bottom - bh - 10);
    EXPECT_EQ(l.first.left, l.client.right - 2 * bw - 27);
    EXPECT_EQ(l.first.top, l.second.top);
    // Below the text: two lines above it (its top), two below, then the buttons.
    EXPECT_EQ(l.client.bottom, l.text.bottom + l.text.top + bh + 20);
    EXPECT_EQ(l.icon.top, l.text.top);
}

TEST(MessageDialog, ShortMessageKeepsTheTemplatesWidth)
{
    std::string shown, buttons;
    bool white = false;
    const Layout l = LayoutOf("Register?", &shown, &buttons, &white);
    EXPECT_EQ(shown, "Register?");
    EXPECT_EQ(buttons, std::string("Yes|No|") + kCaption);
    EXPECT_TRUE(white);
    EXPECT_EQ(l.client.right, l.templateClient.right);
    EXPECT_EQ(l.text.right - l.text.left, l.client.right - l.text.left - 34);
    // At least two lines high.
    EXPECT_GE(l.text.bottom - l.text.top, l.text.top);
    ExpectButtonsInTheCorner(l);
}

TEST(MessageDialog, LongMessageStopsAt481PixelsAndWraps)
{
    std::string message;
    for (int i = 0; i < 12; ++i)
        message += "This sentence is long enough to need several lines. ";
    const Layout shortOne = LayoutOf("Register?");
    const Layout l = LayoutOf(message);
    EXPECT_EQ(l.client.right, 481);
    EXPECT_EQ(l.text.right - l.text.left, 447 - l.text.left);
    EXPECT_GT(l.text.bottom - l.text.top, shortOne.text.bottom - shortOne.text.top);
    ExpectButtonsInTheCorner(l);
}

}  // namespace
