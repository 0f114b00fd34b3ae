#include <gtest/gtest.h>

#include "CGdiObjects.h"
#include "StepBar.h"

namespace {

struct StepCase {
    const char* phase;
    const char* letters;
    BOOL changed;
    const char* result;
};

class StepLetters : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepLetters, MarkTheReachedStepsInUpperCase)
{
    const StepCase& c = GetParam();
    CString phase = c.phase;
    EXPECT_EQ(ApplyStepLetters(phase, c.letters), c.changed);
    EXPECT_EQ(phase, c.result);
}

INSTANTIATE_TEST_SUITE_P(Cases, StepLetters, ::testing::Values(
    StepCase{"Lpcif", "C", TRUE, "LPCif"},
    StepCase{"LPCif", "IR", TRUE, "LPCIf"},
    StepCase{"LPCIf", "F", TRUE, "LPCIF"},
    StepCase{"Lpcif", "S", FALSE, "Lpcif"},
    StepCase{"Lpcarf", "SA", TRUE, "LPCArf"},
    StepCase{"LPCIF", "c", TRUE, "LPCif"},
    StepCase{"Lpcif", "=LPDT", TRUE, "LPDT"},
    StepCase{"Lpcif", "=", TRUE, ""},
    StepCase{"Lpcif", nullptr, FALSE, "Lpcif"},
    StepCase{"", "C", FALSE, ""}));

COLORREF TilePixel(HINSTANCE module, UINT id, int x, int y)
{
    CBitmap tile;
    if (!tile.LoadBitmap(module, id))
        return CLR_INVALID;
    HDC screen = ::GetDC(nullptr);
    CMemoryDC memory(screen);
    ::ReleaseDC(nullptr, screen);
    memory.Select(tile);
    return ::GetPixel(memory, x, y);
}

class StepTiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillStepBitmapMap();
        HDC screen = ::GetDC(nullptr);
        bitmap.Attach(::CreateCompatibleBitmap(screen, 600, 32));
        dc = ::CreateCompatibleDC(screen);
        ::ReleaseDC(nullptr, screen);
        previous = ::SelectObject(dc, bitmap);
        ::PatBlt(dc, 0, 0, 600, 32, WHITENESS);
    }
    void TearDown() override
    {
        ::SelectObject(dc, previous);
        ::DeleteDC(dc);
    }

    HINSTANCE module = ::GetModuleHandleA(nullptr);
    CBitmap bitmap;
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
};

TEST_F(StepTiles, EachLetterDrawsItsTileLeftToRight)
{
    EXPECT_EQ(StepBitmapId('L'), 243u);
    EXPECT_EQ(StepBitmapId('p'), 244u);
    EXPECT_EQ(StepBitmapId('x'), 0u);
    DrawStepTiles(dc, module, "Lxp");
    // 'x' has no tile and takes no room: 'p' starts right after 'L'.
    for (int x : {5, 53, 100}) {
        EXPECT_EQ(::GetPixel(dc, x, 16), TilePixel(module, 243, x, 16)) << x;
        EXPECT_EQ(::GetPixel(dc, 106 + x, 16), TilePixel(module, 244, x, 16)) << x;
    }
    EXPECT_EQ(::GetPixel(dc, 300, 16), RGB(255, 255, 255));
}

TEST_F(StepTiles, EmptyStepStringDrawsNothing)
{
    DrawStepTiles(dc, module, "");
    DrawStepTiles(dc, module, nullptr);
    EXPECT_EQ(::GetPixel(dc, 50, 16), RGB(255, 255, 255));
}

TEST_F(StepTiles, RepaintsDoNotLeakGdiObjects)
{
    DrawStepTiles(dc, module, "LPCIF");
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0)
        GTEST_SKIP() << "this system does not count GDI objects (Wine)";
    for (int i = 0; i < 300; ++i)
        DrawStepTiles(dc, module, "LPCIF");
    EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), before + 2);
}

}  // namespace
