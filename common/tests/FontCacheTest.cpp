#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CAtlException.h"
#include "CFontCache.h"

namespace {

struct ScreenFacts {
    TEXTMETRICA metrics;
    char face[LF_FACESIZE];
    int dpi;
};

ScreenFacts DefaultGuiFontFacts()
{
    ScreenFacts facts = {};
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsA(screen, &facts.metrics);
    GetTextFaceA(screen, LF_FACESIZE, facts.face);
    facts.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return facts;
}

void ExpectSameFont(const LOGFONTA& actual, const LOGFONTA& expected, const char* description)
{
    SCOPED_TRACE(std::string("[") + description + "]");
    EXPECT_EQ(actual.lfHeight, expected.lfHeight);
    EXPECT_EQ(actual.lfWidth, expected.lfWidth);
    EXPECT_EQ(actual.lfWeight, expected.lfWeight);
    EXPECT_EQ(actual.lfItalic, expected.lfItalic);
    EXPECT_EQ(actual.lfUnderline, expected.lfUnderline);
    EXPECT_EQ(actual.lfStrikeOut, expected.lfStrikeOut);
    EXPECT_EQ(actual.lfCharSet, expected.lfCharSet);
    EXPECT_EQ(actual.lfPitchAndFamily, expected.lfPitchAndFamily);
    EXPECT_STREQ(actual.lfFaceName, expected.lfFaceName);
}

TEST(FontCache, DefaultIsTheScreenGuiFont)
{
    const ScreenFacts facts = DefaultGuiFontFacts();
    CFontCache cache;
    LOGFONTA font;
    cache.BuildLogFont("", font);

    EXPECT_GT(font.lfHeight, 0);
    EXPECT_EQ(font.lfHeight, facts.metrics.tmHeight);
    EXPECT_EQ(font.lfWeight, facts.metrics.tmWeight);
    EXPECT_EQ(font.lfCharSet, facts.metrics.tmCharSet);
    EXPECT_EQ(font.lfPitchAndFamily, facts.metrics.tmPitchAndFamily);
    EXPECT_STREQ(font.lfFaceName, facts.face);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfEscapement, 0);
    EXPECT_EQ(font.lfOrientation, 0);
    EXPECT_EQ(font.lfOutPrecision, 0);
    EXPECT_EQ(font.lfQuality, 0);
}

struct DescriptionCase {
    const char* description;
    // Turns the default font into the expected one.
    void (*change)(LOGFONTA& font, int dpi);
};

TEST(FontCache, DescriptionsChangeTheDefaultFont)
{
    const DescriptionCase cases[] = {
        {"9pt,MS Shell Dlg", [](LOGFONTA& f, int dpi) { f.lfHeight = -MulDiv(9, dpi, 72); std::strcpy(f.lfFaceName, "MS Shell Dlg"); }},
        {", bold", [](LOGFONTA& f, int) { std::strcpy(f.lfFaceName, " bold"); }},
        {"bold", [](LOGFONTA& f, int) { f.lfWeight = FW_BOLD; }},
        {"Bold", [](LOGFONTA& f, int) { std::strcpy(f.lfFaceName, "Bold"); }},
        {"bold,italic,underline,strikeout", [](LOGFONTA& f, int) { f.lfWeight = FW_BOLD; f.lfItalic = f.lfUnderline = f.lfStrikeOut = 1; }},
        {"200%", [](LOGFONTA& f, int) { f.lfHeight = f.lfHeight * 100 / 200; }},
        {"50%", [](LOGFONTA& f, int) { f.lfHeight *= 2; }},
        {"12px,50%", [](LOGFONTA& f, int) { f.lfHeight = 24; }},
        {"3em", [](LOGFONTA&, int) {}},
        {"12", [](LOGFONTA&, int) {}},
        {"12 px", [](LOGFONTA&, int) {}},
        {"0pt", [](LOGFONTA& f, int) { f.lfHeight = 0; }},
        {"0%", [](LOGFONTA&, int) {}},
        {"12px,0%", [](LOGFONTA& f, int) { f.lfHeight = 12; }},
        {"12px", [](LOGFONTA& f, int) { f.lfHeight = 12; }},
        {"  -7px", [](LOGFONTA& f, int) { f.lfHeight = -7; }},
        {"10px,20px", [](LOGFONTA& f, int) { f.lfHeight = 20; }},
        {"Arial,Tahoma", [](LOGFONTA& f, int) { std::strcpy(f.lfFaceName, "Tahoma"); }},
        {",,bold,,", [](LOGFONTA& f, int) { f.lfWeight = FW_BOLD; }},
        {"", [](LOGFONTA&, int) {}},
        {"ＭＳ ゴシック,10pt", [](LOGFONTA& f, int dpi) { f.lfHeight = -MulDiv(10, dpi, 72); std::strcpy(f.lfFaceName, "ＭＳ ゴシック"); }},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", [](LOGFONTA& f, int) { std::strcpy(f.lfFaceName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"); }},
    };
    const int dpi = DefaultGuiFontFacts().dpi;
    CFontCache cache;
    LOGFONTA base;
    cache.BuildLogFont("", base);
    for (const DescriptionCase& c : cases) {
        LOGFONTA expected = base;
        c.change(expected, dpi);
        LOGFONTA actual;
        std::memset(&actual, 0xCC, sizeof actual);
        cache.BuildLogFont(c.description, actual);
        ExpectSameFont(actual, expected, c.description);
    }
}

TEST(FontCache, HandsOutOneFontPerDescription)
{
    CFontCache cache;
    HFONT bold = cache.GetFont("12px,bold");
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(cache.GetFont("12px,bold"), bold);
    EXPECT_NE(cache.GetFont("12px,Bold"), bold);
    EXPECT_NE(cache.GetFont("12px,bold,"), bold);

    LOGFONTA made = {};
    ASSERT_EQ(GetObjectA(bold, sizeof made, &made), int(sizeof made));
    EXPECT_EQ(made.lfHeight, 12);
    EXPECT_EQ(made.lfWeight, FW_BOLD);
}

template <typename Call>
HRESULT Thrown(Call call)
{
    try {
        call();
    } catch (const CAtlException& e) {
        return e;
    }
    return S_OK;
}

TEST(FontCache, NullDescriptionIsAnError)
{
    CFontCache cache;
    LOGFONTA font;
    EXPECT_EQ(Thrown([&] { cache.GetFont(nullptr); }), E_FAIL);
    EXPECT_EQ(Thrown([&] { cache.BuildLogFont(nullptr, font); }), E_FAIL);
}

TEST(FontCache, GlobalCacheIsSharedAcrossCallers)
{
    HFONT font = GlobalFontCache().GetFont("9pt");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GlobalFontCache().GetFont("9pt"), font);
}

}  // namespace
