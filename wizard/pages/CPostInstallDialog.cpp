#include "CPostInstallDialog.h"

#include "AutoFlow.h"
#include "CPageContext.h"
#include "PageTexts.h"

CPostInstallDialog::CPostInstallDialog() : CKAVODlg(IDC_WEBBROWSER)
{
    // The installation has run its course: closing here must not start the launcher tool.
    m_keepParent = TRUE;
}

CPostInstallDialog::~CPostInstallDialog() = default;

void CPostInstallDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_CLOSE, "B_N10_IDC_CLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

CWBDialog* CPostInstallDialog::ResolvePage(HWND, CPageContext* context)
{
    // The launcher tool completes quietly: nothing is left to show or to keep.
    if (IsOptionGiven(context)) {
        context->cleanupFlags = CLEANUP_ALL;
        return nullptr;
    }
    return this;
}
