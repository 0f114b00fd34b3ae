#include "CPreCancelDialog.h"

#include <mshtmhst.h>

#include "PageTexts.h"

CPreCancelDialog::CPreCancelDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreCancelDialog::~CPreCancelDialog() = default;

DWORD CPreCancelDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CPreCancelDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "C_N01_IDC_STATIC1"},
        {IDC_STATIC3, "C_N01_IDC_STATIC3"},
        {IDC_NEXT, "C_N01_IDC_NEXT"},
        {IDC_BACK, "C_N01_IDC_BACK"},
    };
    SetPageTexts(*this, kTexts);
}

void CPreCancelDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
