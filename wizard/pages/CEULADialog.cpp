#include "CEULADialog.h"

#include <mshtmhst.h>

#include "PageTexts.h"

CEULADialog::CEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CEULADialog::~CEULADialog() = default;

DWORD CEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return DOCHOSTUIFLAG_THEME;
}

void CEULADialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N04_IDC_STATIC1"},
        {IDC_STATIC2, "B_N04_IDC_STATIC2"},
        {IDC_STATIC3, "B_N04_IDC_STATIC3"},
        {IDC_AGREE, "B_N04_IDC_AGREE"},
        {IDC_DISAGREE, "B_N04_IDC_DISAGREE"},
        {IDC_REFRESH, "B_N04_IDC_REFRESH"},
        {ID_PAGE_CLOSE, "B_N04_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CEULADialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
