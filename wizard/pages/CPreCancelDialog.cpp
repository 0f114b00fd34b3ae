#include "CPreCancelDialog.h"

CPreCancelDialog::CPreCancelDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreCancelDialog::~CPreCancelDialog() = default;

DWORD CPreCancelDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return 0x40005;
}
