#include "PageContent.h"

#include "CKAVODlg.h"
#include "resource.h"

void WritePageHtml(CKAVODlgBase& page, const char* key)
{
    CString html;
    page.GetExpandedText(html, key);
    page.WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

void SetPageItemText(CKAVODlgBase& page, int id, const char* key)
{
    CString text;
    page.GetExpandedText(text, key);
    ::SetDlgItemTextA(page.m_hWnd, id, text);
}
