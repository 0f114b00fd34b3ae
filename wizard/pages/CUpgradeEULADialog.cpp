#include "CUpgradeEULADialog.h"

#include <mshtmhst.h>

#include "PageTexts.h"

CUpgradeEULADialog::CUpgradeEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CUpgradeEULADialog::~CUpgradeEULADialog() = default;

DWORD CUpgradeEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return DOCHOSTUIFLAG_THEME;
}

void CUpgradeEULADialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "D_N03_IDC_STATIC1"},
        {IDC_STATIC2, "D_N03_IDC_STATIC2"},
        {IDC_STATIC3, "D_N03_IDC_STATIC3"},
        {IDC_AGREE, "D_N03_IDC_AGREE"},
        {IDC_DISAGREE, "D_N03_IDC_DISAGREE"},
        {ID_PAGE_CLOSE, "D_N03_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}
