#include <gtest/gtest.h>

#include <ole2.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "CAxDialogImpl.h"
#include "CComPtr.h"
#include "CDialogImpl.h"
#include "CMessageLoop.h"
#include "CWindowImpl.h"

namespace {

enum : UINT {
    WM_TEST_PLAIN = WM_APP + 1,
    WM_TEST_DECLINED,
    WM_TEST_NESTED_DESTROY,
    WM_TEST_DESTROY_NOW,
    WM_TEST_THROW,
    WM_TEST_CHAINED,
};

class ChainBase : public CWindowImpl<ChainBase> {
public:
    BEGIN_MSG_MAP(ChainBase)
        MESSAGE_HANDLER(WM_TEST_CHAINED, OnChained)
        MESSAGE_HANDLER(WM_TEST_DECLINED, OnDeclinedInBase)
    END_MSG_MAP()

    LRESULT OnChained(UINT, WPARAM, LPARAM, BOOL&) { return 77; }
    LRESULT OnDeclinedInBase(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        baseSawDeclined = true;
        bHandled = FALSE;
        return 0;
    }
    bool baseSawDeclined = false;
};

class TestWindow : public ChainBase {
public:
    DECLARE_WND_CLASS("KavoClasslibTestWindow")

    BEGIN_MSG_MAP(TestWindow)
        MESSAGE_HANDLER(WM_TEST_PLAIN, OnPlain)
        MESSAGE_HANDLER(WM_TEST_DECLINED, OnDeclined)
        MESSAGE_HANDLER(WM_TEST_NESTED_DESTROY, OnNestedDestroy)
        MESSAGE_HANDLER(WM_TEST_DESTROY_NOW, OnDestroyNow)
        MESSAGE_HANDLER(WM_TEST_THROW, OnThrow)
        CHAIN_MSG_MAP(ChainBase)
    END_MSG_MAP()

    HWND Make() { return CWindowImpl<ChainBase>::Create(nullptr, nullptr, "test", WS_OVERLAPPEDWINDOW); }

    LRESULT OnPlain(UINT, WPARAM wParam, LPARAM, BOOL&) { return LRESULT(wParam * 2); }
    LRESULT OnDeclined(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        bHandled = FALSE;
        return 5;
    }
    LRESULT OnNestedDestroy(UINT, WPARAM, LPARAM, BOOL&)
    {
        HWND self = m_hWnd;
        ::SendMessageA(self, WM_TEST_DESTROY_NOW, 0, 0);
        // The window is gone, the object is not: this write must land in a live object.
        events.push_back(::IsWindow(self) ? "window alive" : "window gone");
        return 1;
    }
    LRESULT OnDestroyNow(UINT, WPARAM, LPARAM, BOOL&)
    {
        DestroyWindow();
        events.push_back("destroyed");
        return 0;
    }
    LRESULT OnThrow(UINT, WPARAM, LPARAM, BOOL&) { throw std::runtime_error("handler failed"); }

    void OnFinalMessage(HWND) override { events.push_back("final"); }

    std::vector<std::string> events;
};

TEST(WindowImpl, MessagesReachTheMapAndDeclinedOnesGoOn)
{
    TestWindow window;
    ASSERT_NE(window.Make(), nullptr);
    // The program keeps its page context in GWL_USERDATA: the object must not depend on it.
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0x1234);
    EXPECT_EQ(window.SendMessage(WM_TEST_PLAIN, 21), 42);
    EXPECT_EQ(window.SendMessage(WM_TEST_CHAINED), 77);
    // Declined by the class, offered to the chained map, declined there too: default processing.
    EXPECT_EQ(window.SendMessage(WM_TEST_DECLINED), 0);
    EXPECT_TRUE(window.baseSawDeclined);
    EXPECT_EQ(window.SendMessage(WM_TEST_THROW), 0);
    window.DestroyWindow();
    EXPECT_EQ(window.events, std::vector<std::string>{"final"});
    EXPECT_EQ(window.m_hWnd, nullptr);
}

TEST(WindowImpl, FinalMessageWaitsForTheOutermostMessage)
{
    TestWindow window;
    HWND hWnd = window.Make();
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(::SendMessageA(hWnd, WM_TEST_NESTED_DESTROY, 0, 0), 1);
    const std::vector<std::string> expected = {"destroyed", "window gone", "final"};
    EXPECT_EQ(window.events, expected);
}

class TestDialog : public CAxDialogImpl<TestDialog> {
public:
    enum { IDD = 100 };

    BEGIN_MSG_MAP(TestDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_CTLCOLORDLG, OnColor)
        MESSAGE_HANDLER(WM_TEST_PLAIN, OnPlain)
        COMMAND_ID_HANDLER(1002, OnButton)
        COMMAND_CODE_HANDLER(EN_CHANGE, OnEditChange)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        initParam = lParam;
        return TRUE;
    }
    LRESULT OnColor(UINT, WPARAM, LPARAM, BOOL&) { return LRESULT(::GetStockObject(WHITE_BRUSH)); }
    LRESULT OnPlain(UINT, WPARAM wParam, LPARAM, BOOL&) { return LRESULT(wParam + 1); }
    LRESULT OnButton(WORD, WORD id, HWND, BOOL&)
    {
        buttonClicks++;
        return 0;
    }
    LRESULT OnEditChange(WORD, WORD id, HWND, BOOL&)
    {
        changedId = id;
        return 0;
    }
    void OnFinalMessage(HWND) override { finalCalled = true; }

    LPARAM initParam = 0;
    int buttonClicks = 0;
    int changedId = 0;
    bool finalCalled = false;
};

TEST(DialogImpl, ModelessPageGetsItsInitParameterAndResultsByTheDialogRule)
{
    HWND parent = ::CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                    nullptr, nullptr);
    TestDialog dialog;
    ASSERT_NE(dialog.Create(parent, 0x5150), nullptr);
    EXPECT_EQ(dialog.initParam, 0x5150);
    EXPECT_NE(dialog.GetDlgItem(200), nullptr) << "the browser control's window class is known";
    // Returned directly, not through DWLP_MSGRESULT.
    EXPECT_EQ(dialog.SendMessage(WM_CTLCOLORDLG, WPARAM(::GetDC(dialog))), LRESULT(::GetStockObject(WHITE_BRUSH)));
    // Through DWLP_MSGRESULT: SendMessage hands it back.
    EXPECT_EQ(dialog.SendMessage(WM_TEST_PLAIN, 41), 42);
    ::SendMessageA(dialog.GetDlgItem(1002), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.buttonClicks, 1);
    ::SetWindowTextA(dialog.GetDlgItem(1001), "x");
    EXPECT_EQ(dialog.changedId, 1001);

    ::DestroyWindow(parent);
    EXPECT_TRUE(dialog.finalCalled);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

class ModalDialog : public CDialogImpl<ModalDialog> {
public:
    enum { IDD = 101 };

    BEGIN_MSG_MAP(ModalDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnOk)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
    {
        CenterWindow();
        ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    LRESULT OnOk(WORD, WORD, HWND, BOOL&)
    {
        EndDialog(1234);
        return 0;
    }
};

TEST(DialogImpl, ModalDialogEndsWithTheGivenResult)
{
    ModalDialog dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), 1234);
}

class CountingLoop : public CMessageLoop {
public:
    BOOL OnIdle(int count) override
    {
        ++idleCalls;
        if (idleCalls == 1)
            ::PostMessageA(nullptr, WM_TEST_PLAIN, 0, 0);
        else if (idleCalls == 2)
            ::PostQuitMessage(9);
        return FALSE;
    }
    int idleCalls = 0;
};

class SwallowFilter : public CMessageFilter {
public:
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message == WM_TEST_PLAIN) {
            ++swallowed;
            return TRUE;
        }
        return FALSE;
    }
    int swallowed = 0;
};

TEST(MessageLoop, IdleRunsWhenTheQueueEmptiesAndFiltersSeeMessagesFirst)
{
    CountingLoop loop;
    SwallowFilter filter;
    loop.AddMessageFilter(&filter);
    EXPECT_EQ(loop.Run(), 9);
    EXPECT_EQ(loop.idleCalls, 2);
    EXPECT_EQ(filter.swallowed, 1);
    MSG mouse = {};
    mouse.message = WM_MOUSEMOVE;
    EXPECT_FALSE(loop.IsIdleMessage(&mouse));
}

}  // namespace

namespace {

TEST(AxHost, TemplateControlIsCreatedOnlyWithCom)
{
    HWND parent = ::CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                    nullptr, nullptr);
    {
        TestDialog withoutCom;
        ASSERT_NE(withoutCom.Create(parent), nullptr);
        IUnknown* control = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(AtlAxGetControl(withoutCom.GetDlgItem(200), &control), S_FALSE);
        EXPECT_EQ(control, nullptr);
        withoutCom.DestroyWindow();
    }
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    {
        TestDialog page;
        ASSERT_NE(page.Create(parent), nullptr);
        CComPtr<IUnknown> control;
        ASSERT_EQ(AtlAxGetControl(page.GetDlgItem(200), &control), S_OK);
        CComQIPtr<IOleObject> object(control);
        EXPECT_TRUE(object != nullptr);
        page.DestroyWindow();
    }
    ::DestroyWindow(parent);
    ::OleUninitialize();
}

}  // namespace
