#include "CPreSignupDialog.h"

#include <new>

#include "CAtlModule.h"
#include "CFeeCalc.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "ContractFigures.h"
#include "Entities.h"
#include "PageContent.h"
#include "PageFactory.h"
#include "PageTexts.h"
#include "ContractListPage.h"
#include "pages/CErrorDialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CSignupDialog.h"
#include "pages/CStatusDialog.h"

CPreSignupDialog::CPreSignupDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreSignupDialog::~CPreSignupDialog() = default;

void CPreSignupDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N05_IDC_STATIC1"},
        {IDC_STATIC2, "B_N05_IDC_STATIC2_1"},
        {IDC_SIGNUP, "B_N05_IDC_SIGNUP"},
        {IDCANCEL, "B_N05_IDCANCEL"},
    };
    SetPageTexts(*this, kTexts);
}

void CPreSignupDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CPreSignupDialog::LoadBrowserContent(WORD)
{
    if (m_orderKind < 0)
        return;
    WritePageHtml(*this, m_orderKind >= 2 ? "B_N05_IDC_WEBBROWSER_2" : "B_N05_IDC_WEBBROWSER_1");
}

namespace {

// The answer's time (a FILETIME count, Japan time) as a date.
CString ServerDateText(ULONGLONG serverTime)
{
    FILETIME fileTime;
    fileTime.dwLowDateTime = DWORD(serverTime);
    fileTime.dwHighDateTime = DWORD(serverTime >> 32);
    SYSTEMTIME time;
    if (serverTime == 0 || !::FileTimeToSystemTime(&fileTime, &time))
        return CTextDef::GetText("COMMON_EMPTYDATE");
    CString text;
    text.Format("%04u年%02u月%02u日", unsigned(time.wYear), unsigned(time.wMonth), unsigned(time.wDay));
    return text;
}

}  // namespace

BOOL CPreSignupDialog::ResolveEntity(CString& text)
{
    const COpsCustomerData& customer = m_context->customer;
    const char* elementFormat = nullptr;
    if (text == "&SerialID;") {
        text = customer.SerialID;
    } else if (text == "&NickName;") {
        text = HtmlEscape(customer.NickName);
    } else if (text == "&利用料;" || text == "&利用料税込み;") {
        // The fee of the contract this order adds.
        const int fee = GetFeeCalc().GetUnitFee(CountActiveContracts(m_context->response) + 1);
        text = FeeText(fee, text == "&利用料税込み;");
    } else if (text == "&申し込み内容;") {
        elementFormat = "B_N05_ELM_P1_%d";
    } else if (text == "&注意事項;") {
        elementFormat = "B_N05_ELM_P4_%d";
    } else if (text == "&利用開始予定日;") {
        text = ServerDateText(m_context->response.serverTime);
    } else {
        return CKAVODlgBase::ResolveEntity(text);
    }
    if (!elementFormat)
        return TRUE;
    if (m_orderKind < 0 || m_orderKind > 3 || m_expandingElement)
        return FALSE;
    CString key;
    key.Format(elementFormat, m_orderKind + 1);
    m_expandingElement = true;
    GetExpandedText(text, key);
    m_expandingElement = false;
    return TRUE;
}

LRESULT CPreSignupDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    const CString order = m_context->GetValue("AN08_ORDER");
    UINT bitmap = 0;
    m_orderKind = 0;
    if (order == "新規契約" || order == "追加契約") {
        m_orderKind = order == "新規契約" ? 0 : 1;
        bitmap = IDB_NOTICE_ORDER;
    } else if (order == "再インストール") {
        const CSimpleArray<COpsAgreement>& agreements = m_context->response.agreements;
        const bool firstAgreement =
            agreements.GetSize() > 0 && agreements[0].SecurityID == m_context->customer.SecurityID;
        m_orderKind = firstAgreement ? 2 : 3;
        bitmap = IDB_NOTICE_WARNING;
    }
    if (bitmap)
        m_notice.LoadBitmap(AtlGetResourceInstance(), bitmap);
    ::SendDlgItemMessageA(m_hWnd, IDC_IMAGE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_notice.Get()));
    CString heading;
    GetExpandedText(heading, m_orderKind >= 2 ? "B_N05_IDC_STATIC1_2" : "B_N05_IDC_STATIC1_1");
    ::SetDlgItemTextA(m_hWnd, IDC_STATIC1, heading);
    return result;
}

void CPreSignupDialog::OnApply()
{
    SendPing("TRACE_URI_B_N05_0");
    CWBDialog* next = nullptr;
    if (m_context->GetValue("AN08_ORDER") == "再インストール") {
        next = new (std::nothrow) CRegClientDialog;
    } else {
        m_context->SetValue("ops_retry_counter", "");
        next = new (std::nothrow) CSignupDialog;
    }
    GoToPage(CreatePageWindow(next, GetParent(), m_context), 0);
}

void CPreSignupDialog::OnCancelOrder()
{
    SendPing("TRACE_URI_B_N05_1");
    GoToPage(NewContractListPage(GetParent(), m_context), 0);
}

LRESULT CPreSignupDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CPreSignupDialog::OnApplyCommand(WORD, WORD, HWND, BOOL&)
{
    OnApply();
    return 0;
}

LRESULT CPreSignupDialog::OnCancelCommand(WORD, WORD, HWND, BOOL&)
{
    OnCancelOrder();
    return 0;
}
