#include "CEULADialog.h"

#include <mshtmhst.h>

#include "AutoFlow.h"
#include "CPageContext.h"
#include "CErrorDialog.h"
#include "CPreSignupDialog.h"
#include "CStatusDialog.h"
#include "HttpGetAsync.h"
#include "NavigationFallback.h"
#include "PageTexts.h"
#include "ContractListPage.h"

namespace {

const TermsButtons kButtons = {{IDC_AGREE, IDC_DISAGREE, IDC_STATIC2, IDC_STATIC3, 0}, {IDC_REFRESH, 0}};

}  // namespace

CEULADialog::CEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CEULADialog::~CEULADialog() = default;

DWORD CEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return DOCHOSTUIFLAG_THEME;
}

void CEULADialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N04_IDC_STATIC1"},
        {IDC_STATIC2, "B_N04_IDC_STATIC2"},
        {IDC_STATIC3, "B_N04_IDC_STATIC3"},
        {IDC_AGREE, "B_N04_IDC_AGREE"},
        {IDC_DISAGREE, "B_N04_IDC_DISAGREE"},
        {IDC_REFRESH, "B_N04_IDC_REFRESH"},
        {ID_PAGE_CLOSE, "B_N04_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CEULADialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CEULADialog::SendStatistics()
{
    CTraceLog& log = m_context->traceLog;
    const bool tracing = !log.GetPattern().IsEmpty();
    if (tracing)
        log.WriteLine("統計情報スレッド開始(W_E14_2：同期)");
    CString url;
    GetExpandedText(url, "TRACE_URI_B_N04_2");
    HttpGetAsync(url, true);
    if (tracing)
        log.WriteLine("統計情報スレッド完了(W_E14_2)");
}

void CEULADialog::LoadBrowserContent(WORD)
{
    LoadTerms("COMMON_URI_EULA");
}

void CEULADialog::LoadTerms(const char* key)
{
    m_navigationFailed = FALSE;
    NavigateToDefinedUrl(*this, key);
}

void __stdcall CEULADialog::DocumentComplete(IDispatch* browser, VARIANT* url)
{
    if (m_navigationFailed) {
        WriteFallbackOnce(*this, "B_N04_IDC_WEBBROWSER", m_fallbackWritten);
        ShowTermsButtons(m_hWnd, kButtons, true, true);
        return;
    }
    CKAVODlgBase::DocumentComplete(browser, url);
    // The blank document before the terms arrive offers nothing to agree to.
    ShowTermsButtons(m_hWnd, kButtons, false, !IsBlankAddress(url));
}

void __stdcall CEULADialog::NavigateError(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT_BOOL* cancel)
{
    TakeNavigationError(m_hWnd, url, cancel, m_navigationFailed);
}

LRESULT CEULADialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    m_navigationFailed = FALSE;
    const LRESULT result = OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
    ::ShowWindow(GetDlgItem(IDC_AGREE), SW_SHOW);
    // Reload stands where agree stood while the fallback is shown.
    RECT agree;
    ::GetWindowRect(GetDlgItem(IDC_AGREE), &agree);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&agree), 2);
    const HWND reload = GetDlgItem(IDC_REFRESH);
    ::ShowWindow(reload, SW_HIDE);
    ::SetWindowPos(reload, nullptr, agree.left, agree.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return result;
}

LRESULT CEULADialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == PAGECMD_NAVERROR)
        StartFallbackCycle(m_browser, m_fallbackWritten);
    handled = FALSE;
    return 0;
}

LRESULT CEULADialog::OnAgreeCommand(WORD, WORD, HWND, BOOL&)
{
    SendPing("TRACE_URI_B_N04_0");
    GoToPage(NewPageIn<CPreSignupDialog>(GetParent(), m_context), 0);
    return 0;
}

LRESULT CEULADialog::OnDisagreeCommand(WORD, WORD, HWND, BOOL&)
{
    SendPing("TRACE_URI_B_N04_1");
    GoToPage(NewContractListPage(GetParent(), m_context), 0);
    return 0;
}

LRESULT CEULADialog::OnRefreshCommand(WORD, WORD, HWND, BOOL&)
{
    LoadTerms("COMMON_URI_EULA");
    return 0;
}
