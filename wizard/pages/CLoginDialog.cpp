#include "CLoginDialog.h"

#include "CPageContext.h"
#include "PageContent.h"
#include "AutoFlow.h"
#include "CErrorDialog.h"
#include "COpsRequest.h"
#include "CStatusDialog.h"
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

CWBDialog* CLoginDialog::ResolvePage(HWND frame, CPageContext* context)
{
    if (!HasLauncherCredentials(context))
        return this;
    // The host has put the launcher's customer id and access key into the context.
    COpsRequest request;
    request.Run("1001", context, TRUE);
    // A run that failed on the way leaves no result code: the error page tells its error code.
    const CString code = context->response.ResultCode;
    if (code == "0000") {
        if (SendPcInfoReport(context, 0) == 0)
            return NewPageIn<CStatusDialog>(frame, context);
        return NewPageIn<CErrorDialog>(frame, context);
    }
    if (code == "9991" || code == "0002") {
        context->SetValue("CLoginDialog::InitialState", "ERROR");
        return this;
    }
    return NewPageIn<CErrorDialog>(frame, context);
}
