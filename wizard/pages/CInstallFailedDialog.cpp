#include "CInstallFailedDialog.h"

#include "AutoFlow.h"
#include "PageTexts.h"

CInstallFailedDialog::CInstallFailedDialog() : CKAVODlg(IDC_WEBBROWSER)
{
    // The installation has run its course: closing here must not start the launcher tool.
    m_keepParent = TRUE;
}

CInstallFailedDialog::~CInstallFailedDialog() = default;

void CInstallFailedDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_INSTALL, "B_E09_IDC_INSTALL"},
        {ID_PAGE_CLOSE, "B_E09_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

CWBDialog* CInstallFailedDialog::ResolvePage(HWND, CPageContext* context)
{
    // The launcher tool reports the failure itself.
    if (IsOptionGiven(context))
        return nullptr;
    return this;
}
