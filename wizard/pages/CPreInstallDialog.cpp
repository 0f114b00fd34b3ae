#include "CPreInstallDialog.h"

#include <mshtmhst.h>

#include "AutoFlow.h"
#include "CExternalEULADialog.h"
#include "CInstallDialog.h"
#include "CPageContext.h"
#include "PageTexts.h"

CPreInstallDialog::CPreInstallDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreInstallDialog::~CPreInstallDialog() = default;

void CPreInstallDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "B_N08_IDC_WEBBROWSER");
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

DWORD CPreInstallDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CPreInstallDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_INSTALL, "B_N08_IDC_INSTALL"},
        {IDC_RADIO1, "B_N08_IDC_RADIO1"},
        {IDC_RADIO2, "B_N08_IDC_RADIO2"},
    };
    SetPageTexts(*this, kTexts);
}

CWBDialog* CPreInstallDialog::ResolvePage(HWND frame, CPageContext* context)
{
    if (IsOptionAccepted(context))
        return NewPageIn<CExternalEULADialog>(frame, context);
    return this;
}

void CPreInstallDialog::OnInstall()
{
    if (::IsDlgButtonChecked(m_hWnd, IDC_RADIO1) == BST_CHECKED) {
        GoToPage(NewPageIn<CExternalEULADialog>(GetParent(), m_context), 0);
        return;
    }
    SendPing("COMMON_URL_OPTION_DISABLE");
    m_context->SetValue("OPTIONAL_FUNCTION", "DISABLE");
    GoToPage(NewPageIn<CInstallDialog>(GetParent(), m_context), 0);
}

LRESULT CPreInstallDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
    ::CheckRadioButton(m_hWnd, IDC_RADIO1, IDC_RADIO2, IDC_RADIO1);
    return result;
}

LRESULT CPreInstallDialog::OnInstallCommand(WORD, WORD, HWND, BOOL&)
{
    OnInstall();
    return 0;
}
