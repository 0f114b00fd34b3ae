#include "CPostUpgradeDialog.h"

#include "PageTexts.h"

CPostUpgradeDialog::CPostUpgradeDialog() = default;

CPostUpgradeDialog::~CPostUpgradeDialog() = default;

void CPostUpgradeDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "D_N05_IDC_WEBBROWSER");
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

void CPostUpgradeDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_CLOSE, "D_N05_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}
