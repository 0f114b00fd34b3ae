#include "CUpgradeEULADialog.h"

#include <mshtmhst.h>

#include "AutoFlow.h"
#include "CInstallDialog.h"
#include "CLoginDialog.h"
#include "CPageContext.h"
#include "CPreInstallDialog.h"
#include "NavigationFallback.h"
#include "PageTexts.h"

namespace {

const TermsButtons kButtons = {{IDC_AGREE, IDC_DISAGREE, IDC_STATIC2, IDC_STATIC3, 0}, {IDC_REFRESH, ID_PAGE_CLOSE, 0}};

// The control's rectangle in the page's client coordinates.
RECT ItemRect(HWND page, int id)
{
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(page, id), &rect);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MoveItem(HWND page, int id, int left, int top)
{
    ::SetWindowPos(::GetDlgItem(page, id), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CUpgradeEULADialog::CUpgradeEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CUpgradeEULADialog::~CUpgradeEULADialog() = default;

DWORD CUpgradeEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return DOCHOSTUIFLAG_THEME;
}

void CUpgradeEULADialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "D_N03_IDC_STATIC1"},
        {IDC_STATIC2, "D_N03_IDC_STATIC2"},
        {IDC_STATIC3, "D_N03_IDC_STATIC3"},
        {IDC_AGREE, "D_N03_IDC_AGREE"},
        {IDC_DISAGREE, "D_N03_IDC_DISAGREE"},
        {ID_PAGE_CLOSE, "D_N03_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CUpgradeEULADialog::LoadBrowserContent(WORD)
{
    LoadTermsWithButtonsOff();
}

void CUpgradeEULADialog::LoadTerms(const char* key)
{
    m_navigationFailed = FALSE;
    NavigateToDefinedUrl(*this, key);
}

void CUpgradeEULADialog::LoadTermsWithButtonsOff()
{
    EnableDlgItems(m_hWnd, FALSE, IDC_AGREE, IDC_DISAGREE, IDC_REFRESH, ID_PAGE_CLOSE, 0);
    LoadTerms("COMMON_URI_XGUPGRADEEULA");
}

void __stdcall CUpgradeEULADialog::DocumentComplete(IDispatch* browser, VARIANT* url)
{
    if (m_navigationFailed) {
        WriteFallbackOnce(*this, "D_N03_IDC_WEBBROWSER", m_fallbackWritten);
        ShowTermsButtons(m_hWnd, kButtons, true, true);
        return;
    }
    CKAVODlgBase::DocumentComplete(browser, url);
    // The blank document before the terms arrive offers nothing to agree to.
    ShowTermsButtons(m_hWnd, kButtons, false, !IsBlankAddress(url));
}

void __stdcall CUpgradeEULADialog::NavigateError(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT_BOOL* cancel)
{
    TakeNavigationError(m_hWnd, url, cancel, m_navigationFailed);
}

void CUpgradeEULADialog::OnAgree()
{
    m_context->SetValue("INSTALL_TYPE", "CUSTOM");
    const HWND frame = GetParent();
    if (m_context->GetValue("MIGRATION_TYPE") == "V")
        GoToPage(NewPageIn<CInstallDialog>(frame, m_context), 0);
    else
        GoToPage(NewPageIn<CPreInstallDialog>(frame, m_context), 0);
}

LRESULT CUpgradeEULADialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    m_navigationFailed = FALSE;
    OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
    ShowDlgItems(m_hWnd, SW_HIDE, IDC_STEPBAR, IDC_REFRESH, ID_PAGE_CLOSE, 0);
    ShowDlgItems(m_hWnd, SW_SHOW, IDC_STATIC2, IDC_STATIC3, 0);
    // Without the close button the row ends with disagree; reload sits above agree's place.
    const RECT close = ItemRect(m_hWnd, ID_PAGE_CLOSE);
    const RECT disagree = ItemRect(m_hWnd, IDC_DISAGREE);
    MoveItem(m_hWnd, IDC_DISAGREE, close.right - (disagree.right - disagree.left), disagree.top);
    const RECT agree = ItemRect(m_hWnd, IDC_AGREE);
    const RECT reload = ItemRect(m_hWnd, IDC_REFRESH);
    MoveItem(m_hWnd, IDC_REFRESH, reload.left, agree.top);
    return 0;
}

LRESULT CUpgradeEULADialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == PAGECMD_NAVERROR)
        StartFallbackCycle(m_browser, m_fallbackWritten);
    handled = FALSE;
    return 0;
}

LRESULT CUpgradeEULADialog::OnAgreeCommand(WORD, WORD, HWND, BOOL&)
{
    OnAgree();
    return 0;
}

LRESULT CUpgradeEULADialog::OnDisagreeCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(NewPageIn<CLoginDialog>(GetParent(), m_context), 0);
    return 0;
}

LRESULT CUpgradeEULADialog::OnRefreshCommand(WORD, WORD, HWND, BOOL&)
{
    LoadTermsWithButtonsOff();
    return 0;
}
