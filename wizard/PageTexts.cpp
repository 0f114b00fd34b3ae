#include "PageTexts.h"

#include "CFontCache.h"
#include "CKAVODlg.h"

void SetPageTexts(CKAVODlgBase& page, const PageText* texts, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        CString text;
        page.GetExpandedText(text, texts[i].key);
        ::SetDlgItemTextA(page.m_hWnd, texts[i].control, text);
    }
}

void SetPageFonts(HWND page, const PageFont* fonts, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        HFONT font = GlobalFontCache().GetFont(fonts[i].description);
        ::SendDlgItemMessageA(page, fonts[i].control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}
