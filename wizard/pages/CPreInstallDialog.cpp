#include "CPreInstallDialog.h"

CPreInstallDialog::CPreInstallDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreInstallDialog::~CPreInstallDialog() = default;

DWORD CPreInstallDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return 0x40005;
}
