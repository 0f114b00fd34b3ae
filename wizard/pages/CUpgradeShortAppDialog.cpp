#include "CUpgradeShortAppDialog.h"

CUpgradeShortAppDialog::CUpgradeShortAppDialog() = default;

CUpgradeShortAppDialog::~CUpgradeShortAppDialog() = default;

LRESULT CUpgradeShortAppDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CShortAppDialog::OnInitDialog(focus, initParam);
    ::ShowWindow(GetDlgItem(IDC_STEPBAR), SW_HIDE);
    return result;
}

LRESULT CUpgradeShortAppDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}
