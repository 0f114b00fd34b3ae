#include "CLoginDialog.h"

#include "CPageContext.h"
#include "PageContent.h"
#include "PageTexts.h"

CLoginDialog::CLoginDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CLoginDialog::~CLoginDialog() = default;

void CLoginDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "A_N07_IDC_STATIC1"},
        {IDC_STATIC2, "A_N07_IDC_STATIC2"},
        {IDC_STATIC3, "A_N07_IDC_STATIC3"},
        {IDC_STATIC4, "A_N07_IDC_STATIC4"},
        {IDC_STATIC5, "A_N07_IDC_STATIC5"},
        {IDC_STATIC6, "A_N07_IDC_STATIC6"},
        {IDC_STATIC7, "A_N07_IDC_STATIC7"},
        {IDC_LOGIN, "A_N07_IDC_LOGIN"},
        {IDC_EDIT1, "A_N07_IDC_EDIT1"},
        {IDC_EDIT2, "A_N07_IDC_EDIT2"},
        {IDC_CHECK1, "A_N07_IDC_CHECK1"},
        {IDC_MASK, "A_N07_IDC_MASK"},
    };
    SetPageTexts(*this, kTexts);
}

void CLoginDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CLoginDialog::LoadBrowserContent(WORD)
{
    const CString stateKey("CLoginDialog::InitialState");
    if (m_context->values[stateKey] == "ERROR") {
        ::MessageBeep(MB_ICONHAND);
        WritePageHtml(*this, "A_E07_IDC_WEBBROWSER");
        EnableDlgItems(m_hWnd, TRUE, IDC_LOGIN, IDC_MASK, IDC_EDIT1, IDC_EDIT2, IDC_CHECK1, 0);
        return;
    }
    m_context->values.RemoveKey(stateKey);
    WritePageHtml(*this, "A_N07_IDC_WEBBROWSER");
}

BOOL CLoginDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorCode;") {
        text = "EWS";
        text += m_context->response.ResultCode;
        return TRUE;
    }
    return CKAVODlgBase::ResolveEntity(text);
}
