#include "CUpgradeShortHDDDialog.h"

#include "AutoFlow.h"
#include "pages/CUpgradeEULADialog.h"

CUpgradeShortHDDDialog::CUpgradeShortHDDDialog() = default;

CUpgradeShortHDDDialog::~CUpgradeShortHDDDialog() = default;

LRESULT CUpgradeShortHDDDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    ::ShowWindow(GetDlgItem(IDC_STEPBAR), SW_HIDE);
    return result;
}

LRESULT CUpgradeShortHDDDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CUpgradeShortHDDDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(NewPageIn<CUpgradeEULADialog>(GetParent(), m_context), 0);
    return 0;
}
