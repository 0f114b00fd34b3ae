#include "CUpgradeEULADialog.h"

CUpgradeEULADialog::CUpgradeEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CUpgradeEULADialog::~CUpgradeEULADialog() = default;

DWORD CUpgradeEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return 0x40000;
}
