#include "CEULADialog.h"

CEULADialog::CEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CEULADialog::~CEULADialog() = default;

DWORD CEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return 0x40000;
}
