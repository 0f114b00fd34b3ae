#include "CUpgradeFailedDialog.h"

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
