#include "CRegClientDialog.h"

CRegClientDialog::CRegClientDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CRegClientDialog::~CRegClientDialog() = default;

DWORD CRegClientDialog::GetHostFlags()
{
    // The entry form scrolls and keeps its border.
    return 0x40001;
}
