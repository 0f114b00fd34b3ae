#pragma once
// The captions and fonts that a page puts on its controls when it starts, held as fixed
// lists per page class so the words of every page come from the definition text.
#include <windows.h>

#include <cstddef>

class CKAVODlgBase;

struct PageText {
    WORD control;
    const char* key;
};

struct PageFont {
    WORD control;
    const char* description;
};

// In list order; an absent key leaves its control empty.
void SetPageTexts(CKAVODlgBase& page, const PageText* texts, size_t count);
void SetPageFonts(HWND page, const PageFont* fonts, size_t count);

template <size_t N>
inline void SetPageTexts(CKAVODlgBase& page, const PageText (&texts)[N])
{
    SetPageTexts(page, texts, N);
}

template <size_t N>
inline void SetPageFonts(HWND page, const PageFont (&fonts)[N])
{
    SetPageFonts(page, fonts, N);
}
