#include "CShortDialog.h"

#include "PageTexts.h"

CShortDialog::CShortDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortDialog::~CShortDialog() = default;

void CShortDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_E02_2_IDC_STATIC1"},
        {IDC_STATIC3, "B_E02_2_IDC_STATIC3"},
        {IDC_NEXT, "B_E02_2_IDC_NEXT"},
        {ID_PAGE_CLOSE, "B_E02_2_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CShortDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
