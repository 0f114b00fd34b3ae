#include "NavigationFallback.h"

#include <exdisp.h>

#include <cwchar>

#include "CA2W.h"
#include "CComVariant.h"
#include "CKAVODlg.h"
#include "PageContent.h"

bool IsBlankAddress(const VARIANT* url)
{
    if (!url)
        return false;
    const BSTR text = url->vt == VT_BSTR ? url->bstrVal
                      : url->vt == (VT_BSTR | VT_BYREF) && url->pbstrVal ? *url->pbstrVal
                                                                          : nullptr;
    return text && wcscmp(text, L"about:blank") == 0;
}

bool TakeNavigationError(HWND page, const VARIANT* url, VARIANT_BOOL* cancel, BOOL& failed)
{
    if (IsBlankAddress(url))
        return false;
    if (cancel)
        *cancel = VARIANT_TRUE;
    failed = TRUE;
    ::PostMessageA(page, WM_KAVO_PAGE, PAGECMD_NAVERROR, 0);
    return true;
}

void StartFallbackCycle(IWebBrowser2* browser, BOOL& written)
{
    written = FALSE;
    if (browser)
        NavigateToBlank(browser);
}

void WriteFallbackOnce(CKAVODlgBase& page, const char* key, BOOL& written)
{
    if (written)
        return;
    // Set first: writing completes a document, which comes back here.
    written = TRUE;
    WritePageHtml(page, key);
}

void NavigateToDefinedUrl(CKAVODlgBase& page, const char* key)
{
    if (!page.m_browser)
        return;
    CString address;
    page.GetExpandedText(address, key);
    CComVariant url(static_cast<const wchar_t*>(CA2W(address)));
    CComVariant empty;
    page.m_browser->Navigate2(&url, &empty, &empty, &empty, &empty);
}

void ShowTermsButtons(HWND page, const TermsButtons& buttons, bool fallback, bool enable)
{
    for (const int* id = buttons.withTerms; *id; ++id)
        ::ShowWindow(::GetDlgItem(page, *id), fallback ? SW_HIDE : SW_SHOW);
    for (const int* id = buttons.withFallback; *id; ++id)
        ::ShowWindow(::GetDlgItem(page, *id), fallback ? SW_SHOW : SW_HIDE);
    EnableDlgItems(page, enable, IDC_AGREE, IDC_DISAGREE, IDC_REFRESH, ID_PAGE_CLOSE, 0);
}
