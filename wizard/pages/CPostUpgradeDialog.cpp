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

LRESULT CPostUpgradeDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
    ::ShowWindow(GetDlgItem(IDC_STEPBAR), SW_HIDE);
    return result;
}
