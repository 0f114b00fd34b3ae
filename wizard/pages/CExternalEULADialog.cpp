#include "CExternalEULADialog.h"

#include "CAtlModule.h"

#include <mshtmhst.h>

#include "AutoFlow.h"
#include "CInstallDialog.h"
#include "CPageContext.h"
#include "CPreInstallDialog.h"
#include "NavigationFallback.h"
#include "PageTexts.h"

namespace {

// The back button (209) stays with the fallback: the vendor's terms are only a detour.
const TermsButtons kButtons = {{IDC_AGREE, IDC_STATIC2, IDC_STATIC3, 0}, {IDC_REFRESH, 0}};

// The operator counts the acceptances; the installation does not wait for the count.
void AcceptOption(CKAVODlgBase& page, CPageContext* context)
{
    page.SendPing("COMMON_URL_OPTION_ENABLE");
    context->SetValue("OPTIONAL_FUNCTION", "ENABLE");
}

}  // namespace

CExternalEULADialog::CExternalEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CExternalEULADialog::~CExternalEULADialog() = default;

DWORD CExternalEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return DOCHOSTUIFLAG_THEME;
}

void CExternalEULADialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N08_1_IDC_STATIC1"},
        {IDC_STATIC2, "B_N08_1_IDC_STATIC2"},
        {IDC_STATIC3, "B_N08_1_IDC_STATIC3"},
        {IDC_AGREE, "B_N08_1_IDC_AGREE"},
        {IDC_DISAGREE, "B_N08_1_IDC_BACK"},
        {IDC_REFRESH, "B_N08_1_IDC_REFRESH"},
    };
    SetPageTexts(*this, kTexts);
}

void CExternalEULADialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

CWBDialog* CExternalEULADialog::ResolvePage(HWND frame, CPageContext* context)
{
    if (!IsOptionAccepted(context))
        return this;
    AcceptOption(*this, context);
    return NewPageIn<CInstallDialog>(frame, context);
}

void CExternalEULADialog::LoadBrowserContent(WORD)
{
    LoadTerms("COMMON_URI_EXTEULA");
}

void CExternalEULADialog::LoadTerms(const char* key)
{
    m_navigationFailed = FALSE;
    NavigateToDefinedUrl(*this, key);
}

void __stdcall CExternalEULADialog::DocumentComplete(IDispatch* browser, VARIANT* url)
{
    if (m_navigationFailed) {
        WriteFallbackOnce(*this, "B_N08_1_IDC_WEBBROWSER", m_fallbackWritten);
        ShowTermsButtons(m_hWnd, kButtons, true, true);
        return;
    }
    CKAVODlgBase::DocumentComplete(browser, url);
    ::ShowWindow(GetDlgItem(IDC_DISAGREE), SW_SHOW);
    // The blank document before the terms arrive offers nothing to agree to.
    ShowTermsButtons(m_hWnd, kButtons, false, !IsBlankAddress(url));
}

void __stdcall CExternalEULADialog::NavigateError(IDispatch*, VARIANT* url, VARIANT*, VARIANT*,
                                                  VARIANT_BOOL* cancel)
{
    TakeNavigationError(m_hWnd, url, cancel, m_navigationFailed);
}

LRESULT CExternalEULADialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // Shared: the frame may still draw it after this page is gone, so nobody deletes it.
    m_background = static_cast<HBITMAP>(
        ::LoadImageA(AtlGetResourceInstance(), MAKEINTRESOURCEA(IDB_EXTERNALEULA), IMAGE_BITMAP, 0, 0, LR_SHARED));
    m_navigationFailed = FALSE;
    m_fallbackWritten = FALSE;
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

LRESULT CExternalEULADialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == PAGECMD_NAVERROR)
        StartFallbackCycle(m_browser, m_fallbackWritten);
    // The frame's start notice: the vendor's terms stand on a header of their own.
    if (wParam == 0)
        ::SendMessageA(GetParent(), WM_KAVO_PAGE, PAGECMD_SETBACKGROUND, LPARAM(m_background));
    handled = FALSE;
    return 0;
}

LRESULT CExternalEULADialog::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    if (id != IDC_STATIC1 && id != IDC_STATIC2) {
        handled = FALSE;
        return 0;
    }
    // The base map gives the brush; only the text colour is this page's.
    LRESULT brush = 0;
    CKAVODlgBase::ProcessWindowMessage(m_hWnd, WM_CTLCOLORSTATIC, wParam, lParam, brush);
    ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
    return brush;
}

LRESULT CExternalEULADialog::OnAgreeCommand(WORD, WORD, HWND, BOOL&)
{
    AcceptOption(*this, m_context);
    GoToPage(NewPageIn<CInstallDialog>(GetParent(), m_context), 0);
    return 0;
}

LRESULT CExternalEULADialog::OnBackCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(NewPageIn<CPreInstallDialog>(GetParent(), m_context), 0);
    return 0;
}

LRESULT CExternalEULADialog::OnRefreshCommand(WORD, WORD, HWND, BOOL&)
{
    LoadTerms("COMMON_URI_EXTEULA");
    return 0;
}
