#include "CPreUpgradeDialog.h"

#include "PageTexts.h"

CPreUpgradeDialog::CPreUpgradeDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreUpgradeDialog::~CPreUpgradeDialog() = default;

void CPreUpgradeDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "D_N01_IDC_STATIC1"},
        {IDC_UPGRADE, "D_N01_IDC_UPGRADE"},
        {IDCANCEL, "D_N01_IDCANCEL"},
    };
    SetPageTexts(*this, kTexts);
}

void CPreUpgradeDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
