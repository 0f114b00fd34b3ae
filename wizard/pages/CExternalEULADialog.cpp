#include "CExternalEULADialog.h"

CExternalEULADialog::CExternalEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CExternalEULADialog::~CExternalEULADialog() = default;

DWORD CExternalEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return 0x40000;
}
