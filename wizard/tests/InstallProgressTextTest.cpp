// The installation page's step texts for each progress report of the installer.
#include "PageContentBench.h"

#include <windows.h>

#include <string>

#include "pages/CInstallDialog.h"
#include "resource.h"

namespace {

const WORD kStepTexts[] = {IDC_STATIC4, IDC_STATIC6, IDC_STATIC8, IDC_STATIC10, IDC_STATIC12};
const char* const kStartTexts[] = {"prepare", "download", "install", "settings", "finish"};

std::string ControlText(HWND page, int control)
{
    char buffer[512] = {};
    ::GetDlgItemTextA(page, control, buffer, sizeof buffer);
    return buffer;
}

class InstallProgressText : public PageContentBench {
protected:
    void SetUp() override
    {
        PageContentBench::SetUp();
        CTextDef::SetDomainUrl("http://127.0.0.1:5");
        CTextDef::SetText("B_N09_IDC_STATIC4_0", "prepare");
        CTextDef::SetText("B_N09_IDC_STATIC4_1", "preparing");
        CTextDef::SetText("B_N09_IDC_STATIC6_0", "download");
        CTextDef::SetText("B_N09_IDC_STATIC6_1", "unused");
        CTextDef::SetText("B_N09_IDC_STATIC6_n", "from &CURL; %d%%");
        CTextDef::SetText("B_N09_IDC_STATIC6_2", "downloaded");
        CTextDef::SetText("B_N09_IDC_STATIC8_0", "install");
        CTextDef::SetText("B_N09_IDC_STATIC8_1", "installing");
        CTextDef::SetText("B_N09_IDC_STATIC8_2", "installed");
        CTextDef::SetText("B_N09_IDC_STATIC10_0", "settings");
        CTextDef::SetText("B_N09_IDC_STATIC12_0", "finish");
    }

    CInstallDialog* OpenShown()
    {
        CInstallDialog* page = Open(new CInstallDialog);
        if (!page)
            return nullptr;
        // Only a shown window keeps what needs repainting.
        ::ShowWindow(frame, SW_SHOWNOACTIVATE);
        ::ShowWindow(page->m_hWnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(frame);
        ::UpdateWindow(page->m_hWnd);
        for (WORD control : kStepTexts)
            ::ValidateRect(::GetDlgItem(page->m_hWnd, control), nullptr);
        return page;
    }
};

TEST_F(InstallProgressText, EachReportSetsItsStepTextKeepsPhaseAndValueAndRepaintsTheStepsSoFar)
{
    const struct {
        int phase;
        int value;
        int step;  // the step whose text changes, -1 for none
        const char* text;
        WORD doneMark;  // the picture that shows the finished mark, 0 for none
    } cases[] = {
        {0, 0, 0, "prepare", 0},
        {0, 1, 0, "preparing", IDC_IMAGE},
        {0, 2, -1, "", 0},
        {1, 0, 1, "download", 0},
        {1, 1, 1, "from http://127.0.0.1:5 1%", 0},
        {1, 57, 1, "from http://127.0.0.1:5 57%", 0},
        {1, 100, 1, "from http://127.0.0.1:5 100%", 0},
        {1, 101, 1, "downloaded", IDC_IMAGE2},
        {1, 0xFFFF, 1, "downloaded", IDC_IMAGE2},
        // Compared unsigned: a negative value is past 100.
        {1, -1, 1, "downloaded", IDC_IMAGE2},
        {2, 0, 2, "install", 0},
        {2, 1, 2, "installing", 0},
        {2, 2, 2, "installed", 0},
        {2, 3, -1, "", 0},
        {2, -1, -1, "", 0},
        {3, 0, -1, "", 0},
        {4, 1, -1, "", 0},
        {7, 1, -1, "", 0},
        {-1, 0, -1, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.phase) + "," + std::to_string(c.value));
        CInstallDialog* page = OpenShown();
        ASSERT_NE(page, nullptr);
        page->ShowProgressText(c.phase, c.value);

        EXPECT_EQ(page->m_progressPhase, c.phase);
        EXPECT_EQ(page->m_progressValue, c.value);
        for (int step = 0; step < 5; ++step) {
            SCOPED_TRACE(step);
            const std::string expected = step == c.step ? c.text : kStartTexts[step];
            EXPECT_EQ(ControlText(page->m_hWnd, kStepTexts[step]), expected);
            RECT update;
            const bool repaints = ::GetUpdateRect(::GetDlgItem(page->m_hWnd, kStepTexts[step]), &update, FALSE);
            EXPECT_EQ(repaints, step <= c.phase);
        }
        for (WORD picture : {WORD(IDC_IMAGE), WORD(IDC_IMAGE2)}) {
            const LRESULT image = ::SendDlgItemMessageA(page->m_hWnd, picture, STM_GETIMAGE, IMAGE_BITMAP, 0);
            EXPECT_EQ(image != 0, picture == c.doneMark) << picture;
        }
        ::DestroyWindow(page->m_hWnd);
    }
}

// The percent text is downloaded: only a number and "%%" are formatted into it, anything
// else is shown as it stands instead of reading or writing through the value.
TEST_F(InstallProgressText, PercentTextFormatsOnlyOneNumber)
{
    const struct {
        const char* format;
        const char* shown;
    } cases[] = {
        {"%d%%", "42%"},
        {"%3d %%", " 42 %"},
        {"%-4i|", "42  |"},
        {"no number", "no number"},
        {"%s", "%s"},
        {"%n%d", "%n%d"},
        {"%d of %d", "%d of %d"},
        {"%I64d", "%I64d"},
        {"ends with %", "ends with %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        CTextDef::SetText("B_N09_IDC_STATIC6_n", c.format);
        CInstallDialog* page = OpenShown();
        ASSERT_NE(page, nullptr);
        page->ShowProgressText(1, 42);
        EXPECT_EQ(ControlText(page->m_hWnd, IDC_STATIC6), c.shown);
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(InstallProgressText, BothFinishedStepsShowTheMarkTogether)
{
    CInstallDialog* page = OpenShown();
    ASSERT_NE(page, nullptr);
    page->ShowProgressText(0, 1);
    page->ShowProgressText(1, 101);
    page->ShowProgressText(1, 101);
    const LRESULT first = ::SendDlgItemMessageA(page->m_hWnd, IDC_IMAGE, STM_GETIMAGE, IMAGE_BITMAP, 0);
    const LRESULT second = ::SendDlgItemMessageA(page->m_hWnd, IDC_IMAGE2, STM_GETIMAGE, IMAGE_BITMAP, 0);
    EXPECT_NE(first, 0);
    EXPECT_NE(second, 0);
    BITMAP info = {};
    EXPECT_NE(::GetObjectA(reinterpret_cast<HBITMAP>(second), sizeof info, &info), 0);
    EXPECT_EQ(ControlText(page->m_hWnd, IDC_STATIC4), "preparing");
    EXPECT_EQ(ControlText(page->m_hWnd, IDC_STATIC6), "downloaded");
    EXPECT_EQ(page->m_progressPhase, 1);
    EXPECT_EQ(page->m_progressValue, 101);
}

}  // namespace
