#include "CErrorDialog.h"

#include "PageContent.h"
#include "PageTexts.h"

CErrorDialog::CErrorDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CErrorDialog::~CErrorDialog() = default;

void CErrorDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {ID_PAGE_CLOSE, "ERR_IDCLOSE"},
        {IDC_BACK, "ERR_IDC_BACK"},
        {IDC_RETRY, "ERR_IDC_RETRY"},
    };
    SetPageTexts(*this, kTexts);
}

void CErrorDialog::LoadBrowserContent(WORD)
{
    ::MessageBeep(MB_ICONHAND);
    WritePageHtml(*this, "ERR_IDC_WEBBROWSER");
}

BOOL CErrorDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorCode;") {
        text = m_pageCode;
        return TRUE;
    }
    if (text == "&ErrorMessage;" && !m_expandingMessage) {
        CString key("ERR_");
        key += m_pageCode;
        m_expandingMessage = true;
        GetExpandedText(text, key);
        m_expandingMessage = false;
        return TRUE;
    }
    return CKAVODlgBase::ResolveEntity(text);
}
