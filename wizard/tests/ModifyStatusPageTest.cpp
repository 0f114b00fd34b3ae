// The modify-status page's choice of serials to cancel, on the page bench: boxes ticked in
// the scripted browser as a user would, the fake order system for the way back.
#include "PageContentBench.h"

#include <windows.h>

#include <sstream>
#include <string>
#include <typeinfo>

#include "CKAVODlg.h"
#include "CTextDef.h"
#include "pages/CErrorDialog.h"
#include "pages/CModifyStatusDialog.h"
#include "pages/CPreCancelDialog.h"
#include "pages/CStatusDialog.h"

namespace {

// The warning a message box of this thread showed, answered by a thread timer while the
// page's MessageBox runs its modal loop.
struct AnsweredBox {
    std::string caption;
    std::string text;
};
AnsweredBox g_answered;

BOOL CALLBACK AnswerIfMessageBox(HWND window, LPARAM found)
{
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !::IsWindowVisible(window))
        return TRUE;
    char caption[256] = {};
    char text[1024] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    ::GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    g_answered = {caption, text};
    ::PostMessageA(window, WM_COMMAND, IDOK, 0);
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    bool found = false;
    ::EnumThreadWindows(::GetCurrentThreadId(), AnswerIfMessageBox, LPARAM(&found));
    if (found)
        ::KillTimer(nullptr, timer);
}

class ModifyStatusPage : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        context.customer.VeldinCommonID = "C0001";
        context.customer.AccessKey = "KEY0001";
        g_answered = {};
    }

    // The page's document as the built-in one, but without the "ag_all" box.
    static void UseListWithoutAllBox()
    {
        CTextDef::SetText("A_N08_2_IDC_WEBBROWSER", "<html><body><table>&LicenseSerialStatus;</table></body></html>");
        CTextDef::SetText("A_N08_2_TMPL",
                          "<tr><td><input type=\"checkbox\" id=\"ag&AIndex;\" name=\"ag&AIndex;\"></td>"
                          "<td>&SerialID;</td></tr>");
    }

    // serials serials "S1", "S2", ... in use; a status of 0 in statuses gives that one no box.
    CModifyStatusDialog* OpenWith(int serials, LONG basicCount, const char* statuses = nullptr)
    {
        for (int i = 0; i < serials; ++i) {
            const std::string id = "S" + std::to_string(i + 1);
            AddSerial(id.c_str(), statuses ? statuses[i] - '0' : 3);
        }
        context.customer.BasicSerialCount = basicCount;
        CModifyStatusDialog* page = Open(new CModifyStatusDialog);
        if (page)
            Evaluate();
        return page;
    }

    // Long enough for the selection timer that a change in the document starts.
    static void Evaluate() { scripted::PumpUntil([] { return false; }, 450); }

    // Each word ticks ("+name") or clears ("-name") a box as a user would; false at the
    // first one the browser refuses (a disabled box).
    static bool Apply(const CWBDialog* page, const char* actions)
    {
        std::istringstream words(actions);
        for (std::string word; words >> word;) {
            if (!BrowserOf(page).SetChecked(word.substr(1).c_str(), word[0] == '+'))
                return false;
            Evaluate();
        }
        return true;
    }

    // One character per serial box: 'x' ticked, '.' clear; upper case 'X' and '-' for the
    // same when disabled; ' ' for a serial without a box.
    static std::string Boxes(const CWBDialog* page, int serials)
    {
        const scripted::Browser browser = BrowserOf(page);
        std::string boxes;
        for (int i = 0; i < serials; ++i) {
            const std::string name = "ag" + std::to_string(i);
            if (browser.Html().find("\"" + name + "\"") == std::string::npos)
                boxes += ' ';
            else if (browser.IsChecked(name.c_str()))
                boxes += browser.IsDisabled(name.c_str()) ? 'X' : 'x';
            else
                boxes += browser.IsDisabled(name.c_str()) ? '-' : '.';
        }
        return boxes;
    }

    // Clicks the cancel button with a timer ready to answer the warning it may show.
    static void ClickCancelAnsweringWarning(const CWBDialog* page)
    {
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, AnswerMessageBox);
        Click(page, IDC_DEL);
        ::KillTimer(nullptr, timer);
    }
};

TEST_F(ModifyStatusPage, WithoutAllBoxNoMoreCanBeTickedThanLeavesTheBasicSerials)
{
    UseListWithoutAllBox();
    CModifyStatusDialog* page = OpenWith(3, 2);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Boxes(page, 3), "...");
    EXPECT_FALSE(ItemEnabled(page, IDC_DEL));

    ASSERT_TRUE(Apply(page, "+ag1"));
    EXPECT_EQ(Boxes(page, 3), "-x-");
    EXPECT_TRUE(ItemEnabled(page, IDC_DEL));
    EXPECT_FALSE(Apply(page, "+ag0")) << "a second box was free to tick";

    ASSERT_TRUE(Apply(page, "-ag1"));
    EXPECT_EQ(Boxes(page, 3), "...");
    EXPECT_FALSE(ItemEnabled(page, IDC_DEL));
}

TEST_F(ModifyStatusPage, WhenEverySerialIsBasicOnlyTheAllBoxSelects)
{
    CModifyStatusDialog* page = OpenWith(3, 3);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Boxes(page, 3), "---");
    EXPECT_FALSE(Apply(page, "+ag0")) << "a single box was free to tick";
    EXPECT_FALSE(ItemEnabled(page, IDC_DEL));

    ASSERT_TRUE(Apply(page, "+ag_all"));
    EXPECT_EQ(Boxes(page, 3), "XXX");
    EXPECT_TRUE(ItemEnabled(page, IDC_DEL));
    EXPECT_TRUE(page->m_allFlag);
}

TEST_F(ModifyStatusPage, ClearingTheAllBoxClearsEveryBoxAndEndsTheCancellationOfAll)
{
    CModifyStatusDialog* page = OpenWith(3, 2);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(Apply(page, "+ag_all"));
    EXPECT_EQ(Boxes(page, 3), "XXX");
    EXPECT_TRUE(ItemEnabled(page, IDC_DEL));

    ASSERT_TRUE(Apply(page, "-ag_all"));
    EXPECT_EQ(Boxes(page, 3), "...");
    EXPECT_FALSE(ItemEnabled(page, IDC_DEL));
    EXPECT_FALSE(page->m_allFlag);

    // A single serial chosen afterwards is cancelled on its own.
    ASSERT_TRUE(Apply(page, "+ag2"));
    EXPECT_TRUE(ItemEnabled(page, IDC_DEL));
    Click(page, IDC_DEL);
    CWBDialog* next = nullptr;
    ASSERT_TRUE(TakePageSentToFrame(&next));
    EXPECT_EQ(std::string(context.GetValue("CANCEL_SERIALS")), "S3");
    EXPECT_EQ(std::string(context.GetValue("AN08_ORDER")), "解約");
    DestroyPage(next);
}

TEST_F(ModifyStatusPage, CancelHandsTheSelectionToThePreCancelPage)
{
    struct Case {
        bool allBox;  // the built-in document, which has "ag_all"
        int serials;
        LONG basicCount;
        const char* statuses;  // null: all in use
        const char* actions;
        const char* boxes;  // after the actions
        const char* cancelSerials;
        const char* order;
    };
    static const Case kCases[] = {
        {true, 3, 3, nullptr, "+ag_all", "XXX", "S1,S2,S3", "全解約"},
        {true, 3, 1, nullptr, "+ag0 +ag2", "x.x", "S1,S3", "解約"},
        {false, 3, 2, nullptr, "+ag2", "--x", "S3", "解約"},
        // Every serial ticked by hand is those serials, not the cancellation of all, and the
        // boxes stay as the customer left them.
        {false, 3, 0, nullptr, "+ag0 +ag1 +ag2", "xxx", "S1,S2,S3", "解約"},
        {true, 3, 0, nullptr, "+ag0 +ag1 +ag2", "xxx", "S1,S2,S3", "解約"},
        {true, 1, 0, nullptr, "+ag0", "x", "S1", "解約"},
        // A serial that never was registered has no box; the others go.
        {true, 3, 0, "303", "+ag_all", "X X", "S1,S3", "全解約"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.allBox ? "with" : "without") + " ag_all, " + std::to_string(c.serials) +
                     " serials, basic " + std::to_string(c.basicCount) + ": " + c.actions);
        context.response.serials.RemoveAll();
        context.SetValue("CANCEL_SERIALS", "");
        context.SetValue("AN08_ORDER", "");
        LoadBuiltInText();
        if (!c.allBox)
            UseListWithoutAllBox();
        CModifyStatusDialog* page = OpenWith(c.serials, c.basicCount, c.statuses);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(Apply(page, c.actions));
        EXPECT_EQ(Boxes(page, c.serials), c.boxes);
        if (c.allBox && std::string(c.order) == "解約") {
            EXPECT_FALSE(BrowserOf(page).IsChecked("ag_all"));
        }
        EXPECT_TRUE(ItemEnabled(page, IDC_DEL));
        const HWND window = page->m_hWnd;
        Click(page, IDC_DEL);
        EXPECT_FALSE(::IsWindow(window));
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), typeid(CPreCancelDialog).name());
        if (next) {
            EXPECT_EQ(::GetParent(next->m_hWnd), frame);
            EXPECT_EQ(static_cast<CKAVODlgBase*>(next)->m_context, &context);
        }
        EXPECT_EQ(std::string(context.GetValue("CANCEL_SERIALS")), c.cancelSerials);
        EXPECT_EQ(std::string(context.GetValue("AN08_ORDER")), c.order);
        EXPECT_EQ(g_answered.text, "") << "a warning came";
        DestroyPage(next);
    }
}

TEST_F(ModifyStatusPage, ASelectionThatMayNotGoIsRefusedWithTheWarning)
{
    struct Case {
        bool allBox;
        int serials;
        LONG basicCount;
        const char* actions;
    };
    static const Case kCases[] = {
        // Nothing chosen is nothing to cancel, even where any number may go.
        {false, 3, 0, ""},
        {true, 3, 0, ""},
        {true, 0, 0, ""},
        {true, 3, 2, "+ag_all -ag_all"},
        // Two of three would leave fewer than the two basic serials.
        {true, 3, 2, "+ag0 +ag1"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.allBox ? "with" : "without") + " ag_all, " + std::to_string(c.serials) +
                     " serials, basic " + std::to_string(c.basicCount) + ": " + c.actions);
        context.response.serials.RemoveAll();
        context.SetValue("CANCEL_SERIALS", "unchanged");
        context.SetValue("AN08_ORDER", "unchanged");
        LoadBuiltInText();
        if (!c.allBox)
            UseListWithoutAllBox();
        const CString phase = context.phase;
        g_answered = {};
        CModifyStatusDialog* page = OpenWith(c.serials, c.basicCount);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(Apply(page, c.actions));
        EXPECT_FALSE(ItemEnabled(page, IDC_DEL));

        ClickCancelAnsweringWarning(page);
        // The warning names how many basic serials must stay.
        std::string warning(CTextDef::GetText("A_E08_2_MESSAGE"));
        const std::string count = "&基本契約シリアル数;";
        ASSERT_NE(warning.find(count), std::string::npos);
        warning.replace(warning.find(count), count.size(), std::to_string(c.basicCount));
        EXPECT_EQ(g_answered.text, warning);
        EXPECT_EQ(g_answered.caption, std::string(CTextDef::GetText("COMMON_TITLE")));
        EXPECT_EQ(std::string(context.GetValue("CANCEL_SERIALS")), "unchanged");
        EXPECT_EQ(std::string(context.GetValue("AN08_ORDER")), "unchanged");
        CWBDialog* next = nullptr;
        if (TakePageSentToFrame(&next)) {
            ADD_FAILURE() << "handed over to " << ClassOf(next);
            DestroyPage(next);
        } else {
            EXPECT_TRUE(::IsWindow(page->m_hWnd));
            DestroyPage(page);
        }
    }
}

TEST_F(ModifyStatusPage, BackRefreshesTheStatusAndLeadsToTheContractListOrTheErrorPage)
{
    struct Case {
        const char* script;  // the scripted answer to the refresh, "" for the model's
        const char* nextClass;
    };
    const Case kCases[] = {
        {"", typeid(CStatusDialog).name()},
        {"\"result\": \"0002\"", typeid(CErrorDialog).name()},
        {"\"status\": 500", typeid(CErrorDialog).name()},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.script);
        ASSERT_TRUE(Server().Reset());
        if (*c.script) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.script));
        }
        MakeFeesReady();
        context.response.serials.RemoveAll();
        CModifyStatusDialog* page = OpenWith(2, 1);
        ASSERT_NE(page, nullptr);
        const HWND window = page->m_hWnd;
        Click(page, IDC_BACK);
        EXPECT_FALSE(::IsWindow(window));
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        if (next) {
            EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        }
        EXPECT_EQ(Server().OrdersIds(), "1002");
        DestroyPage(next);
    }
}

TEST_F(ModifyStatusPage, AdditionalContractMarksThePaymentStep)
{
    struct Case {
        const char* order;
        const char* phase;
    };
    for (const Case& c : {Case{"追加契約", "LP"}, Case{"追加/変更", "Lp"}, Case{"", "Lp"}}) {
        SCOPED_TRACE(c.order);
        context.SetValue("AN08_ORDER", c.order);
        context.phase = kStartPhase;
        CModifyStatusDialog* page = Open(new CModifyStatusDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(std::string(context.phase), c.phase);
        DestroyPage(page);
    }
}

TEST_F(ModifyStatusPage, NoteIsBlueAndTheStaticsSitOnThePaleBrush)
{
    CModifyStatusDialog* page = Open(new CModifyStatusDialog);
    ASSERT_NE(page, nullptr);
    struct Case {
        int id;
        COLORREF brush;
        COLORREF text;  // CLR_INVALID: left as it was
    };
    const COLORREF pale = RGB(245, 242, 173);
    const Case kCases[] = {
        {IDC_STATIC10, pale, RGB(0, 0, 255)}, {IDC_STATIC3, pale, CLR_INVALID}, {IDC_STATIC4, pale, CLR_INVALID},
        {IDC_STATIC5, pale, CLR_INVALID},     {IDC_STATIC6, pale, CLR_INVALID}, {IDC_STATIC1, RGB(255, 255, 255), CLR_INVALID},
    };
    const HDC screen = ::GetDC(nullptr);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.id);
        const HDC dc = ::CreateCompatibleDC(screen);
        const COLORREF before = RGB(1, 2, 3);
        ::SetTextColor(dc, before);
        ::SetBkMode(dc, OPAQUE);
        const HBRUSH brush = reinterpret_cast<HBRUSH>(
            ::SendMessageA(page->m_hWnd, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(::GetDlgItem(page->m_hWnd, c.id))));
        LOGBRUSH info = {};
        ASSERT_NE(::GetObjectA(brush, sizeof info, &info), 0);
        EXPECT_EQ(info.lbColor, c.brush);
        EXPECT_EQ(::GetTextColor(dc), c.text == CLR_INVALID ? before : c.text);
        EXPECT_EQ(::GetBkMode(dc), c.brush == pale ? TRANSPARENT : OPAQUE);
        ::DeleteDC(dc);
    }
    ::ReleaseDC(nullptr, screen);
    DestroyPage(page);
}

}  // namespace
