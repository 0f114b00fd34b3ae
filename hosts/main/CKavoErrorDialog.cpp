#include "CKavoErrorDialog.h"

#include "CFontCache.h"
#include "CPageContext.h"

CKavoErrorDialog::CKavoErrorDialog() : CKAVODlg(IDC_MAIN_WEBBROWSER) {}

void CKavoErrorDialog::InitTexts()
{
    CString text;
    GetExpandedText(text, "ERR_IDCLOSE");
    ::SetDlgItemTextA(m_hWnd, ID_PAGE_CLOSE, text);
}

void CKavoErrorDialog::InitFonts()
{
    ::SendDlgItemMessageA(m_hWnd, IDC_MAIN_STATIC1, WM_SETFONT, reinterpret_cast<WPARAM>(GlobalFontCache().GetFont("12pt")),
                        TRUE);
}

void CKavoErrorDialog::LoadBrowserContent(WORD controlId)
{
    CString key("ERR_");
    key += m_context->errorCode;
    CString html;
    GetExpandedText(html, key);
    WriteHtmlWithCharset(controlId, html);
}

LRESULT CKavoErrorDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
    CString text;
    GetExpandedText(text, m_context->errorCode == "EPN0260" ? "EPN0260_IDC_STATIC1" : "EXG6001_IDC_STATIC1");
    ::SetDlgItemTextA(m_hWnd, IDC_MAIN_STATIC1, text);
    return result;
}
