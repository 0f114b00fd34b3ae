#include "CRegClientDialog.h"

#include <mshtmhst.h>

#include <exdisp.h>

#include "CA2W.h"
#include "CComVariant.h"
#include "NavigationFallback.h"
#include "PageTexts.h"

CRegClientDialog::CRegClientDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CRegClientDialog::~CRegClientDialog() = default;

BOOL CRegClientDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorChar;") {
        text = m_errorChars;
        return TRUE;
    }
    return CKAVODlg::ResolveEntity(text);
}

void CRegClientDialog::LoadBrowserContent(WORD)
{
    m_navigationFailed = FALSE;
    if (!m_browser)
        return;
    CString address;
    GetExpandedText(address, "COMMON_URL_DSC_GETCUSTOMERINFO");
    CComVariant url(static_cast<const wchar_t*>(CA2W(address)));
    CComVariant empty;
    m_browser->Navigate2(&url, &empty, &empty, &empty, &empty);
}

DWORD CRegClientDialog::GetHostFlags()
{
    // The entry form scrolls and keeps its border.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_DIALOG;
}

void CRegClientDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N07_IDC_STATIC1"},
        {IDC_STATIC2, "B_N07_IDC_STATIC2"},
        {IDC_STATIC3, "B_N07_IDC_STATIC3"},
        {IDC_STATIC4, "B_N07_IDC_STATIC4"},
        {IDC_STATIC6, "B_N07_IDC_STATIC6"},
        {IDC_STATIC8, "B_N07_IDC_STATIC8"},
        {IDC_CHECK1, "B_N07_IDC_CHECK1"},
        {IDC_CHECK2, "B_N07_IDC_CHECK2"},
        {IDC_NEXT, "B_N07_IDC_NEXT"},
    };
    SetPageTexts(*this, kTexts);
}

void CRegClientDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void __stdcall CRegClientDialog::DocumentComplete(IDispatch* browser, VARIANT* url)
{
    // Only the consent page can fail: the blank document before it always starts the load.
    if (m_navigationFailed && m_mainDocumentLoaded)
        WriteFallbackOnce(*this, "B_N07_IDC_WEBBROWSER", m_fallbackWritten);
    else
        CKAVODlgBase::DocumentComplete(browser, url);
}

void __stdcall CRegClientDialog::NavigateError(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT_BOOL* cancel)
{
    TakeNavigationError(m_hWnd, url, cancel, m_navigationFailed);
}

LRESULT CRegClientDialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == PAGECMD_NAVERROR)
        StartFallbackCycle(m_browser, m_fallbackWritten);
    handled = FALSE;
    return 0;
}
