#include "CUpgradeShortDialog.h"

#include "AutoFlow.h"
#include "pages/CUpgradeEULADialog.h"

CUpgradeShortDialog::CUpgradeShortDialog() = default;

CUpgradeShortDialog::~CUpgradeShortDialog() = default;

LRESULT CUpgradeShortDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CShortDialog::OnInitDialog(focus, initParam);
    ::ShowWindow(GetDlgItem(IDC_STEPBAR), SW_HIDE);
    return result;
}

LRESULT CUpgradeShortDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CUpgradeShortDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(NewPageIn<CUpgradeEULADialog>(GetParent(), m_context), 0);
    return 0;
}
