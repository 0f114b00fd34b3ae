#include "CFontCache.h"

#include <cstdlib>
#include <cstring>

#include "CAtlException.h"

namespace {

void CopyFaceName(LOGFONTA& font, const char* face, size_t length)
{
    if (length >= LF_FACESIZE)
        length = LF_FACESIZE - 1;
    std::memcpy(font.lfFaceName, face, length);
    font.lfFaceName[length] = '\0';
}

int ScreenPixelsPerInchY()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 96;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// token is NUL-terminated: strtol must not read into the next token.
void ApplyToken(const char* token, LOGFONTA& font)
{
    char* unit = nullptr;
    const long number = std::strtol(token, &unit, 10);
    if (number != 0 || unit != token) {
        if (std::strcmp(unit, "pt") == 0)
            font.lfHeight = -MulDiv(int(number), ScreenPixelsPerInchY(), 72);
        else if (std::strcmp(unit, "px") == 0)
            font.lfHeight = LONG(number);
        // A zero percentage has no defined size, so it leaves the height alone.
        else if (std::strcmp(unit, "%") == 0 && number != 0)
            font.lfHeight = LONG(LONGLONG(font.lfHeight) * 100 / number);
        return;
    }
    if (std::strcmp(token, "bold") == 0)
        font.lfWeight = FW_BOLD;
    else if (std::strcmp(token, "italic") == 0)
        font.lfItalic = 1;
    else if (std::strcmp(token, "underline") == 0)
        font.lfUnderline = 1;
    else if (std::strcmp(token, "strikeout") == 0)
        font.lfStrikeOut = 1;
    else
        CopyFaceName(font, token, std::strlen(token));
}

}  // namespace

CFontCache::CFontCache()
{
    std::memset(&defaultFont, 0, sizeof defaultFont);
    HDC screen = GetDC(nullptr);
    if (!screen)
        return;
    HGDIOBJ old = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics;
    if (GetTextMetricsA(screen, &metrics)) {
        defaultFont.lfHeight = metrics.tmHeight;
        defaultFont.lfWeight = metrics.tmWeight;
        defaultFont.lfItalic = metrics.tmItalic;
        defaultFont.lfUnderline = metrics.tmUnderlined;
        defaultFont.lfStrikeOut = metrics.tmStruckOut;
        defaultFont.lfCharSet = metrics.tmCharSet;
        defaultFont.lfPitchAndFamily = metrics.tmPitchAndFamily;
    }
    char face[LF_FACESIZE] = {};
    if (GetTextFaceA(screen, LF_FACESIZE, face) > 0)
        CopyFaceName(defaultFont, face, std::strlen(face));
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
}

void CFontCache::BuildLogFont(const char* description, LOGFONTA& out) const
{
    if (!description)
        AtlThrow(E_FAIL);
    out = defaultFont;
    // "," is never a trail byte in code page 932, so a byte split keeps double-byte text whole.
    for (const char* start = description; *start;) {
        const char* end = std::strchr(start, ',');
        const size_t length = end ? size_t(end - start) : std::strlen(start);
        if (length) {
            const CString token(start, int(length));
            ApplyToken(token.GetString(), out);
        }
        start += length;
        if (*start == ',')
            ++start;
    }
}

HFONT CFontCache::GetFont(const char* description)
{
    if (!description)
        AtlThrow(E_FAIL);
    const CString key(description);
    HFONT font = nullptr;
    if (fonts.Lookup(key, font) && font)
        return font;
    LOGFONTA logFont;
    BuildLogFont(description, logFont);
    font = CreateFontIndirectA(&logFont);
    fonts.SetAt(key, font);
    return font;
}

CFontCache& GlobalFontCache()
{
    static CFontCache cache;
    return cache;
}
