#include "CStatusDialog.h"

#include <mshtmhst.h>

#include "PageTexts.h"

CStatusDialog::CStatusDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CStatusDialog::~CStatusDialog() = default;

DWORD CStatusDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CStatusDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "A_N08_IDC_STATIC1"},
        {IDC_STATIC2, "A_N08_IDC_STATIC2"},
        {IDC_STATIC3, "A_N08_IDC_STATIC3"},
        {IDC_STATIC4, "A_N08_IDC_STATIC4"},
        {IDC_STATIC5, "A_N08_IDC_STATIC5_1"},
        {IDC_STATIC6, "A_N08_IDC_STATIC6_1"},
        {IDC_STATIC7, "A_N08_IDC_STATIC7"},
        {IDC_ADD, "A_N08_IDC_ADD"},
        {IDC_DEL, "A_N08_IDC_DEL"},
        {IDC_SHOWEULA, "A_N08_IDC_SHOWEULA"},
        {IDC_REFRESH, "A_N08_IDC_REFRESH"},
    };
    SetPageTexts(*this, kTexts);
}

void CStatusDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATUSLINE, "9pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
