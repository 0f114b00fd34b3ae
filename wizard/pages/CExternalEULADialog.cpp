#include "CExternalEULADialog.h"

#include <mshtmhst.h>

#include "AutoFlow.h"
#include "CInstallDialog.h"
#include "CPageContext.h"
#include "HttpGetAsync.h"
#include "PageTexts.h"

CExternalEULADialog::CExternalEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CExternalEULADialog::~CExternalEULADialog() = default;

DWORD CExternalEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return DOCHOSTUIFLAG_THEME;
}

void CExternalEULADialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N08_1_IDC_STATIC1"},
        {IDC_STATIC2, "B_N08_1_IDC_STATIC2"},
        {IDC_STATIC3, "B_N08_1_IDC_STATIC3"},
        {IDC_AGREE, "B_N08_1_IDC_AGREE"},
        {IDC_DISAGREE, "B_N08_1_IDC_BACK"},
        {IDC_REFRESH, "B_N08_1_IDC_REFRESH"},
    };
    SetPageTexts(*this, kTexts);
}

void CExternalEULADialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

CWBDialog* CExternalEULADialog::ResolvePage(HWND frame, CPageContext* context)
{
    if (!IsOptionAccepted(context))
        return this;
    // The operator counts the acceptances; the installation does not wait for the count.
    CString url;
    GetExpandedText(url, "COMMON_URL_OPTION_ENABLE");
    HttpGetAsync(url, false);
    context->SetValue("OPTIONAL_FUNCTION", "ENABLE");
    return NewPageIn<CInstallDialog>(frame, context);
}
