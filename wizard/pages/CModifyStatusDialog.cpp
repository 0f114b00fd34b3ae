#include "CModifyStatusDialog.h"

CModifyStatusDialog::CModifyStatusDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CModifyStatusDialog::~CModifyStatusDialog() = default;

DWORD CModifyStatusDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return 0x40005;
}
