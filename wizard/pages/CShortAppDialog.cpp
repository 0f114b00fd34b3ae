#include "CShortAppDialog.h"

#include <mshtmhst.h>

#include "PageTexts.h"

CShortAppDialog::CShortAppDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortAppDialog::~CShortAppDialog() = default;

DWORD CShortAppDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CShortAppDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_E02_SOFT_2_IDC_STATIC1"},
        {IDC_STATIC2, "B_E02_SOFT_2_IDC_STATIC2"},
        {IDC_STATIC3, "B_E02_SOFT_2_IDC_STATIC3"},
        {IDC_STATIC4, "B_E02_SOFT_2_IDC_STATIC4"},
        {IDC_DEL, "B_E02_SOFT_2_IDC_DEL"},
        {ID_PAGE_CLOSE, "B_E02_SOFT_2_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CShortAppDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
