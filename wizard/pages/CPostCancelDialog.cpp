#include "CPostCancelDialog.h"

#include "PageTexts.h"

// No browser control: the page shows its progress or result in plain controls.
CPostCancelDialog::CPostCancelDialog() : CKAVODlg(0xFFFF) {}

CPostCancelDialog::~CPostCancelDialog() = default;

void CPostCancelDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC2, "C_N02_IDC_STATIC2"},
        {IDC_BACK, "C_N02_IDC_BACK"},
        {IDC_END, "C_N02_IDC_END"},
    };
    SetPageTexts(*this, kTexts);
}

void CPostCancelDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
