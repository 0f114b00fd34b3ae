#include "CShortAppDialog.h"

CShortAppDialog::CShortAppDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortAppDialog::~CShortAppDialog() = default;

DWORD CShortAppDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return 0x40005;
}
