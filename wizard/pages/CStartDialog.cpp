#include "CStartDialog.h"

#include "PageContent.h"
#include "PageTexts.h"

CStartDialog::CStartDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CStartDialog::~CStartDialog() = default;

void CStartDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC2, "B_N01_IDC_STATIC2"},
        {IDC_NEXT, "B_N01_IDC_NEXT"},
        {IDC_BACK, "B_N01_IDC_BACK"},
    };
    SetPageTexts(*this, kTexts);
}

void CStartDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CStartDialog::LoadBrowserContent(WORD)
{
    WritePageHtml(*this, "B_N01_IDC_WEBBROWSER");
}
