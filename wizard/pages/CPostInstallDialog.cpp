#include "CPostInstallDialog.h"

CPostInstallDialog::CPostInstallDialog() : CKAVODlg(IDC_WEBBROWSER)
{
    // The installation has run its course: closing here must not start the launcher tool.
    m_keepParent = TRUE;
}

CPostInstallDialog::~CPostInstallDialog() = default;
