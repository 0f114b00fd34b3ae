#include "CPreSignupDialog.h"

#include "PageTexts.h"

CPreSignupDialog::CPreSignupDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreSignupDialog::~CPreSignupDialog() = default;

void CPreSignupDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N05_IDC_STATIC1"},
        {IDC_STATIC2, "B_N05_IDC_STATIC2_1"},
        {IDC_SIGNUP, "B_N05_IDC_SIGNUP"},
        {IDCANCEL, "B_N05_IDCANCEL"},
    };
    SetPageTexts(*this, kTexts);
}

void CPreSignupDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
