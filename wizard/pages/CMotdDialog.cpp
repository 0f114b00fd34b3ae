#include "CMotdDialog.h"

#include "CPageContext.h"

CMotdDialog::CMotdDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CMotdDialog::~CMotdDialog() = default;

void CMotdDialog::LoadBrowserContent(WORD)
{
    const CString& body = m_context->values[CString("OPS_MOTD")];
    WriteHtmlWithCharset(IDC_WEBBROWSER, body);
}
