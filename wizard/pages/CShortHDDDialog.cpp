#include "CShortHDDDialog.h"

#include <mshtmhst.h>

#include "PageTexts.h"

CShortHDDDialog::CShortHDDDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortHDDDialog::~CShortHDDDialog() = default;

DWORD CShortHDDDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CShortHDDDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_E02_HDD_2_IDC_STATIC1"},
        {IDC_STATIC2, "B_E02_HDD_2_IDC_STATIC2"},
        {IDC_STATIC3, "B_E02_HDD_2_IDC_STATIC3"},
        {IDC_STATIC4, "B_E02_HDD_2_IDC_STATIC4"},
        {IDC_STATIC5, "B_E02_HDD_2_IDC_STATIC5"},
        {IDC_NEXT, "B_E02_HDD_2_IDC_NEXT"},
        {ID_PAGE_CLOSE, "B_E02_HDD_2_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CShortHDDDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
