#include "CShortHDDDialog.h"

CShortHDDDialog::CShortHDDDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortHDDDialog::~CShortHDDDialog() = default;

DWORD CShortHDDDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return 0x40005;
}
