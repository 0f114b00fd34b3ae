#include "CStatusDialog.h"

CStatusDialog::CStatusDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CStatusDialog::~CStatusDialog() = default;

DWORD CStatusDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return 0x40005;
}
