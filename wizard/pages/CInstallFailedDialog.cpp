#include "CInstallFailedDialog.h"

#include "AutoFlow.h"
#include "CPageContext.h"
#include "PageTexts.h"

CInstallFailedDialog::CInstallFailedDialog() : CKAVODlg(IDC_WEBBROWSER)
{
    // The installation has run its course: closing here must not start the launcher tool.
    m_keepParent = TRUE;
}

CInstallFailedDialog::~CInstallFailedDialog() = default;

BOOL CInstallFailedDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorCode;") {
        text = m_context->errorCode;
        return TRUE;
    }
    return CKAVODlg::ResolveEntity(text);
}

void CInstallFailedDialog::LoadBrowserContent(WORD)
{
    const CString& code = m_context->errorCode;
    const char* key = "B_E09_IDC_WEBBROWSER";
    if (code == "EXG9998")
        key = "ERR_EXG9998";
    else if (code == "EXG9999")
        key = "ERR_EXG9999";
    CString html;
    GetExpandedText(html, key);
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

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
