#include "CUpgradeFailedDialog.h"

#include "CPageContext.h"
#include "PageTexts.h"

CUpgradeFailedDialog::CUpgradeFailedDialog() = default;

CUpgradeFailedDialog::~CUpgradeFailedDialog() = default;

void CUpgradeFailedDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "D_E05_IDC_WEBBROWSER");
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

void CUpgradeFailedDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_INSTALL, "D_E05_IDC_INSTALL"},
        {ID_PAGE_CLOSE, "D_E05_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CUpgradeFailedDialog::RestartAfterUpgradeFailure()
{
    m_context->phase.Empty();
    m_context->customer.SerialID.Empty();
    RestartWith(0, "--skip-preamble");
}

LRESULT CUpgradeFailedDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = OnFailedInit(reinterpret_cast<HWND>(wParam), lParam);
    ::ShowWindow(GetDlgItem(IDC_STEPBAR), SW_HIDE);
    if (m_context->errorCode == "EXG9998U")
        m_context->cleanupFlags |= CLEANUP_RUNONCE;
    return result;
}

LRESULT CUpgradeFailedDialog::OnInstallCommand(WORD, WORD, HWND, BOOL&)
{
    RestartAfterUpgradeFailure();
    return 0;
}
