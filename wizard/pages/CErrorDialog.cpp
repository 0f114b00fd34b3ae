#include "CErrorDialog.h"

#include <shlwapi.h>

#include "CPageContext.h"
#include "HttpGetAsync.h"
#include "PageContent.h"
#include "PageFactory.h"
#include "PageTexts.h"
#include "ContractListPage.h"
#include "pages/CStatusDialog.h"

namespace {

// The order-system failures that a retry may mend.
bool IsRetryable(int number)
{
    return number == 1003 || number == 1004 || number == 1006;
}

// The ResultCodes after which the contract list can still be shown.
bool KeepsContractList(int number)
{
    return number == 1001 || number == 1002 || number == 1003 || number == 1004 || number == 1006 ||
           number == 1008;
}

// The control's rectangle in the page's client coordinates; empty when there is no control.
RECT ItemRect(HWND page, int id)
{
    RECT rect = {};
    if (const HWND control = ::GetDlgItem(page, id)) {
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

// The retries already made for the failure being shown.
int RetryCount(const CPageContext& context)
{
    return context.GetValue("ops_retry_counter").GetLength();
}

}  // namespace

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

LRESULT CErrorDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    const CString& errorCode = m_context->errorCode;
    const CString& resultCode = m_context->response.ResultCode;
    if (!errorCode.IsEmpty()) {
        m_pageCode = errorCode;
        const int number = errorCode.GetLength() > 3 ? StrToIntA(errorCode.GetString() + 3) : 0;
        if (!IsRetryable(number)) {
            ShowDlgItems(m_hWnd, SW_HIDE, IDC_BACK, IDC_RETRY, 0);
            CentreInButtonBand(ID_PAGE_CLOSE);
        } else if (RetryCount(*m_context) >= 3) {
            // The message of the "T" code tells that retrying is over.
            m_pageCode += "T";
            CentreInButtonBand(IDC_BACK);
            ShowDlgItems(m_hWnd, SW_HIDE, IDC_RETRY, ID_PAGE_CLOSE, 0);
        } else {
            const RECT close = ItemRect(m_hWnd, ID_PAGE_CLOSE);
            ::ShowWindow(GetDlgItem(ID_PAGE_CLOSE), SW_HIDE);
            ::SetWindowPos(GetDlgItem(IDC_RETRY), nullptr, close.left, close.top, close.right - close.left,
                           close.bottom - close.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    } else if (!resultCode.IsEmpty()) {
        m_pageCode.Format("EWS%s", resultCode.GetString());
        if (KeepsContractList(StrToIntA(resultCode))) {
            ::ShowWindow(GetDlgItem(IDC_RETRY), SW_HIDE);
        } else {
            ShowDlgItems(m_hWnd, SW_HIDE, IDC_BACK, IDC_RETRY, 0);
            CentreInButtonBand(ID_PAGE_CLOSE);
        }
    } else {
        m_pageCode = "EXG0000";
        ShowDlgItems(m_hWnd, SW_HIDE, IDC_BACK, IDC_RETRY, 0);
        CentreInButtonBand(ID_PAGE_CLOSE);
    }
    return result;
}

void CErrorDialog::CentreInButtonBand(int id)
{
    const RECT back = ItemRect(m_hWnd, IDC_BACK);
    const RECT close = ItemRect(m_hWnd, ID_PAGE_CLOSE);
    RECT band;
    ::UnionRect(&band, &back, &close);
    // Both buttons are as large as the close button, which therefore sets the offsets.
    const int left = band.left + ((band.right - band.left) - (close.right - close.left)) / 2;
    const int top = band.top + ((band.bottom - band.top) - (close.bottom - close.top)) / 2;
    ::SetWindowPos(GetDlgItem(id), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CErrorDialog::OnRetry()
{
    CString counter = m_context->GetValue("ops_retry_counter");
    counter += ".";
    m_context->SetValue("ops_retry_counter", counter);
    const CString className = m_context->GetValue("CErrorDialog::RetryClassname");
    GoToPage(CreatePageObject(className, GetParent(), m_context), 0);
}

void CErrorDialog::OnBack()
{
    if (m_pageCode == "EWS1004") {
        SendPing("TRACE_URI_W_E14_0");
    }
    GoToPage(NewContractListPage(GetParent(), m_context), 0);
}

LRESULT CErrorDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CErrorDialog::OnBackCommand(WORD, WORD, HWND, BOOL&)
{
    OnBack();
    return 0;
}

LRESULT CErrorDialog::OnRetryCommand(WORD, WORD, HWND, BOOL&)
{
    OnRetry();
    return 0;
}

void CErrorDialog::SendStatistics()
{
    if (m_pageCode != "EWS1004")
        return;
    CTraceLog& log = m_context->traceLog;
    const bool tracing = !log.GetPattern().IsEmpty();
    if (tracing)
        log.WriteLine("統計情報スレッド開始(W_E14_1：同期)");
    CString url;
    GetExpandedText(url, "TRACE_URI_W_E14_1");
    HttpGetAsync(url, true);
    if (tracing)
        log.WriteLine("統計情報スレッド完了(W_E14_1)");
}
