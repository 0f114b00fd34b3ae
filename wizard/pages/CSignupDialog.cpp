#include "CSignupDialog.h"

#include "PageTexts.h"

// No browser control: the page shows its progress or result in plain controls.
CSignupDialog::CSignupDialog() : CKAVODlg(0xFFFF) {}

CSignupDialog::~CSignupDialog() = default;

void CSignupDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N05_2_IDC_STATIC1"},
    };
    SetPageTexts(*this, kTexts);
}

void CSignupDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
