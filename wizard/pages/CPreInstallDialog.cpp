#include "CPreInstallDialog.h"

#include <mshtmhst.h>

#include "AutoFlow.h"
#include "CExternalEULADialog.h"
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
