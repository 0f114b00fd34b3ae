#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "CFrameWindow.h"
#include "CHandle.h"
#include "CKAVODlg.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "KavoDriver.h"
#include "KavoTestPaths.h"
#include "StepBar.h"

namespace {

std::vector<std::string> g_events;

void CALLBACK QuitLoop(HWND, UINT, UINT_PTR, DWORD)
{
    ::PostQuitMessage(99);
}

enum : UINT { WM_TEST_HANDOVER = WM_APP + 20 };

// A page whose answers the test chooses.
class TestPage : public CKAVODlg<TestPage, 900> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = false;

    explicit TestPage(std::string name) : name(std::move(name)) {}
    ~TestPage() override { g_events.push_back("deleted " + name); }

    BEGIN_MSG_MAP(TestPage)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageCommand)
        MESSAGE_HANDLER(WM_TEST_HANDOVER, OnHandOver)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override
    {
        g_events.push_back("resolve " + name);
        return resolvesToSelf ? this : answer;
    }

    LRESULT OnPageCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
    {
        if (wParam == PAGECMD_BUSYINPUT) {
            g_events.push_back("busy input " + std::to_string(reinterpret_cast<const MSG*>(lParam)->wParam));
            return 0;
        }
        if (wParam != PAGECMD_START) {
            bHandled = FALSE;
            return 0;
        }
        g_events.push_back(std::string("start ") + name + (IsWindowVisible() ? " visible" : " hidden"));
        if (quitOnStart)
            ::PostQuitMessage(0);
        return 0;
    }
    LRESULT OnHandOver(UINT, WPARAM, LPARAM, BOOL&)
    {
        GoToPage(nullptr, 0);
        return 0;
    }

    std::string name;
    bool resolvesToSelf = true;
    CWBDialog* answer = nullptr;
    bool quitOnStart = false;
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_events.clear();
        FillStepBitmapMap();
        CTextDef::SetText("COMMON_CLOSEQUERY", "終了してよろしいですか？");
        CTextDef::SetText("COMMON_TITLE", "KAVOテスト");
        ASSERT_NE(frame.Create(), nullptr);
        frame.SetWindowPos(nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        frame.CenterWindow();
    }

    TestPage* MakePage(const char* name)
    {
        auto* page = new TestPage(name);
        EXPECT_NE(page->Create(frame, reinterpret_cast<LPARAM>(&frame.context)), nullptr);
        return page;
    }

    // Runs the frame's loop until it quits or a few seconds pass.
    void RunLoop()
    {
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 5000, QuitLoop);
        frame.Run();
        ::KillTimer(nullptr, timer);
    }

    CFrameWindow frame;
};

TEST_F(FrameTest, PageSizesTheFrameAroundItAndKeepsItsCentre)
{
    RECT before;
    frame.GetWindowRect(&before);
    frame.context.phase = "Lpcif";
    TestPage* page = MakePage("p");

    RECT client, after, pageRect;
    frame.GetClientRect(&client);
    frame.GetWindowRect(&after);
    page->GetClientRect(&pageRect);
    EXPECT_EQ(client.bottom, pageRect.bottom + 47);
    EXPECT_EQ(client.right, pageRect.right);
    EXPECT_NEAR((after.left + after.right) / 2, (before.left + before.right) / 2, 1);
    EXPECT_NEAR((after.top + after.bottom) / 2, (before.top + before.bottom) / 2, 1);
    RECT inFrame;
    page->GetWindowRect(&inFrame);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&inFrame), 2);
    EXPECT_EQ(inFrame.top, 47);
    EXPECT_EQ(inFrame.left, 0);

    EXPECT_EQ(page->m_context, &frame.context);
    EXPECT_EQ(frame.context.notifyWindow, page->m_hWnd);
    EXPECT_EQ(frame.context.notifyMessage, UINT(WM_KAVO_REQUESTDONE));
    EXPECT_EQ(frame.context.phase, "LPCif");
    EXPECT_TRUE(::GetMenuState(frame.GetSystemMenu(FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    page->DestroyWindow();
    EXPECT_EQ(g_events.back(), "deleted p");
}

TEST_F(FrameTest, PageWithoutAContextMakesItsOwnAndDeletesIt)
{
    auto* page = new TestPage("own");
    ASSERT_NE(page->Create(frame, 0), nullptr);
    ASSERT_NE(page->m_context, nullptr);
    EXPECT_NE(page->m_context, &frame.context);
    EXPECT_EQ(page->m_context->ownerPage, page);
    page->DestroyWindow();
    EXPECT_EQ(g_events.back(), "deleted own");
}

TEST_F(FrameTest, StartNoticeComesOnceAfterThePageIsShown)
{
    TestPage* page = MakePage("p");
    page->quitOnStart = true;
    frame.SetCurrentPage(page, 0);
    EXPECT_TRUE(frame.IsWindowVisible());
    RunLoop();
    EXPECT_EQ(g_events, std::vector<std::string>{"start p visible"});
    // Further idle moments do not repeat it.
    ::PostMessageA(frame, WM_NULL, 0, 0);
    ::PostQuitMessage(0);
    frame.Run();
    EXPECT_EQ(g_events.size(), 1u);
    page->DestroyWindow();
}

TEST_F(FrameTest, HandOverToAPageThatAcceptsItselfKeepsTheFlowData)
{
    TestPage* first = MakePage("first");
    frame.SetCurrentPage(first, 0);
    TestPage* second = MakePage("second");
    second->quitOnStart = true;
    frame.context.SetValue("AN08_ORDER", "新規契約");
    frame.context.errorCode = "EXG0003";

    first->GoToPage(second, 0);
    RunLoop();
    EXPECT_EQ(frame.GetLivePage(), second);
    EXPECT_EQ(frame.context.GetValue("AN08_ORDER"), "新規契約");
    const std::vector<std::string> expected = {"resolve second", "deleted first", "start second visible"};
    EXPECT_EQ(g_events, expected);

    // The clear flag forgets the flow's data even though the page accepts itself.
    TestPage* third = MakePage("third");
    third->quitOnStart = true;
    second->GoToPage(third, 1);
    RunLoop();
    EXPECT_TRUE(frame.context.GetValue("AN08_ORDER").IsEmpty());
    EXPECT_EQ(frame.context.errorCode, "EXG0003");
    third->DestroyWindow();
}

TEST_F(FrameTest, ChainThatEndsInNoPageDestroysEveryCandidateAndEndsTheWizard)
{
    TestPage* first = MakePage("first");
    frame.SetCurrentPage(first, 0);
    TestPage* p = MakePage("p");
    TestPage* q = MakePage("q");
    // A candidate that never got a window is deleted directly.
    auto* windowless = new TestPage("windowless");
    p->resolvesToSelf = false;
    p->answer = q;
    q->resolvesToSelf = false;
    q->answer = windowless;
    windowless->resolvesToSelf = false;
    frame.context.SetValue("AN08_ORDER", "追加契約");

    first->GoToPage(p, 0);
    RunLoop();
    const std::vector<std::string> expected = {"resolve p", "deleted p", "resolve q", "deleted q",
                                               "resolve windowless", "deleted windowless", "deleted first"};
    EXPECT_EQ(g_events, expected);
    EXPECT_TRUE(frame.context.GetValue("AN08_ORDER").IsEmpty());
    EXPECT_EQ(frame.GetLivePage(), nullptr);
}

TEST_F(FrameTest, FrameForgetsAPageThatDeletedItself)
{
    TestPage* page = MakePage("gone");
    frame.SetCurrentPage(page, 0);
    page->DestroyWindow();
    EXPECT_EQ(frame.GetLivePage(), nullptr);
    MSG key = {frame, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    EXPECT_FALSE(frame.PreTranslateMessage(&key));
    frame.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    frame.SendMessage(WM_ACTIVATE, WA_ACTIVE);
    EXPECT_TRUE(frame.IsWindow());
}

TEST_F(FrameTest, BusyPageSeesHeldInputFirstAndF5GoesStraightOn)
{
    TestPage* page = MakePage("busy");
    frame.SetCurrentPage(page, 0);
    frame.SendMessage(WM_KAVO_PAGE, PAGECMD_SETBUSY, 1);
    MSG key = {page->GetDlgItem(1001), WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    frame.PreTranslateMessage(&key);
    MSG refresh = {page->GetDlgItem(1001), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_FALSE(frame.PreTranslateMessage(&refresh));
    frame.SendMessage(WM_KAVO_PAGE, PAGECMD_SETBUSY, 0);
    frame.PreTranslateMessage(&key);
    EXPECT_EQ(g_events, std::vector<std::string>{"busy input 65"});
    page->DestroyWindow();
}

COLORREF BackgroundPixel(CFrameWindow& frame, int x, int y)
{
    RECT client;
    frame.GetClientRect(&client);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP canvas = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, canvas);
    frame.SendMessage(WM_ERASEBKGND, WPARAM(dc));
    const COLORREF pixel = ::GetPixel(dc, x, y);
    ::SelectObject(dc, previous);
    ::DeleteObject(canvas);
    ::DeleteDC(dc);
    return pixel;
}

COLORREF PicturePixel(HBITMAP picture, int x, int y)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, picture);
    const COLORREF pixel = ::GetPixel(dc, x, y);
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    return pixel;
}

TEST_F(FrameTest, BackgroundIsCentredWithBlackBandsAndAnOverrideLastsOnePage)
{
    ASSERT_NE(frame.defaultBackground, nullptr) << "the core library's picture";
    BITMAP picture = {};
    ::GetObjectA(frame.defaultBackground, sizeof picture, &picture);
    frame.SetWindowPos(nullptr, 0, 0, picture.bmWidth + 200, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    frame.GetClientRect(&client);
    const int left = (client.right - picture.bmWidth) / 2;
    EXPECT_EQ(BackgroundPixel(frame, 2, 10), RGB(0, 0, 0));
    EXPECT_EQ(BackgroundPixel(frame, left + 30, 10), PicturePixel(frame.defaultBackground, 30, 10));

    HDC screen = ::GetDC(nullptr);
    HBITMAP red = ::CreateCompatibleBitmap(screen, picture.bmWidth, picture.bmHeight);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, red);
    HBRUSH brush = ::CreateSolidBrush(RGB(255, 0, 0));
    RECT all = {0, 0, picture.bmWidth, picture.bmHeight};
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);

    frame.SendMessage(WM_KAVO_PAGE, PAGECMD_SETBACKGROUND, LPARAM(red));
    EXPECT_EQ(BackgroundPixel(frame, left + 30, 10), RGB(255, 0, 0));
    TestPage* page = MakePage("next");
    frame.SetCurrentPage(page, 0);
    EXPECT_EQ(frame.backgroundOverride, nullptr);
    EXPECT_EQ(BackgroundPixel(frame, left + 30, 10), PicturePixel(frame.defaultBackground, 30, 10));
    page->DestroyWindow();
    ::DeleteObject(red);
}

class CloseTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        marker = TempFolder() + "\\kavo-launcher-started.txt";
        DeleteFileA(marker.c_str());
        CRegKey key;
        key.Create(HKEY_CURRENT_USER, "Software\\KavoFrameTest\\settings");
        key.SetStringValue("ProgramPath", ("cmd.exe /c echo started> \"" + marker + "\"").c_str());
        CTextDef::SetText("COMMON_REG_TOSKPATH", "HKEY_CURRENT_USER\\Software\\KavoFrameTest\\settings\\ProgramPath");
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KavoFrameTest");
        DeleteFileA(marker.c_str());
    }
    // A started launcher shows within seconds; a missing one is given a shorter wait.
    bool LauncherStarted(int tries = 100)
    {
        for (int i = 0; i < tries; ++i) {
            if (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
                return true;
            Sleep(50);
        }
        return false;
    }
    // Posts the frame's Close command and runs the loop while the answerer replies.
    void CloseWith(MessageBoxAnswerer& answerer)
    {
        answerer.Start();
        frame.PostMessage(WM_SYSCOMMAND, SC_CLOSE);
        RunLoop();
        answerer.Wait();
    }
    std::string Title() { return CTextDef::GetText("COMMON_TITLE").GetString(); }

    std::string marker;
};

TEST_F(CloseTest, AnsweringNoLeavesEverythingAsItWas)
{
    TestPage* page = MakePage("p");
    frame.SetCurrentPage(page, 0);
    MessageBoxAnswerer answerer(Title(), IDNO);
    answerer.quitThread = ::GetCurrentThreadId();
    CloseWith(answerer);
    EXPECT_TRUE(answerer.seen);
    EXPECT_EQ(frame.GetLivePage(), page);
    EXPECT_EQ(frame.context.cleanupFlags, 0u);
    EXPECT_TRUE(frame.IsWindowVisible());
    page->DestroyWindow();
}

TEST_F(CloseTest, AnsweringYesStartsTheLauncherAndEndsWithFullCleanUp)
{
    for (bool keepParent : {false, true}) {
        DeleteFileA(marker.c_str());
        frame.context.cleanupFlags = 0;
        TestPage* page = MakePage(keepParent ? "keeps parent" : "p");
        page->m_keepParent = keepParent;
        frame.SetCurrentPage(page, 0);
        MessageBoxAnswerer answerer(Title(), IDYES);
        CloseWith(answerer);
        EXPECT_EQ(answerer.text, "終了してよろしいですか？");
        EXPECT_TRUE(answerer.seen);
        EXPECT_EQ(frame.context.cleanupFlags, DWORD(CLEANUP_ALL));
        EXPECT_FALSE(frame.IsWindowVisible());
        EXPECT_EQ(frame.GetLivePage(), nullptr);
        EXPECT_EQ(LauncherStarted(keepParent ? 30 : 100), !keepParent);
    }
}

TEST_F(CloseTest, PageHandedOverWhileTheQuestionIsOpenIsNotClosedAgain)
{
    TestPage* page = MakePage("p");
    frame.SetCurrentPage(page, 0);
    MessageBoxAnswerer answerer(Title(), IDYES);
    answerer.postWhileOpen = page->m_hWnd;
    answerer.postMessage = WM_TEST_HANDOVER;
    CloseWith(answerer);
    EXPECT_TRUE(answerer.seen);
    EXPECT_EQ(g_events.back(), "deleted p");
    // The closing steps did not run on the page that was already gone.
    EXPECT_EQ(frame.context.cleanupFlags, 0u);
    EXPECT_FALSE(LauncherStarted(30));
}

}  // namespace
