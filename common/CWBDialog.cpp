#include "CWBDialog.h"

#include <exdisp.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstring>

#include "CA2W.h"

CWBDialog::CWBDialog(WORD dialogId, WORD browserId) : m_dialogId(dialogId), m_browserId(browserId) {}

CWBDialog::~CWBDialog() = default;

LRESULT CWBDialog::OnCancel(WORD, WORD id, HWND)
{
    EndDialog(id);
    return 0;
}

void __stdcall CWBDialog::BeforeNavigate2(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}
void __stdcall CWBDialog::DocumentComplete(IDispatch*, VARIANT*) {}
void __stdcall CWBDialog::CommandStateChange(long, VARIANT_BOOL) {}
void __stdcall CWBDialog::NavigateError(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}
void __stdcall CWBDialog::NewWindow3(IDispatch**, VARIANT_BOOL* cancel, DWORD, BSTR, BSTR url)
{
    // No browser window of our own: the link opens in the user's default browser.
    if (cancel)
        *cancel = VARIANT_TRUE;
    CW2A address(url, CP_ACP);
    if (IsWebUrl(address))
        ::ShellExecuteA(nullptr, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}
void CWBDialog::ItemBeforeNavigate2(WORD, IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}
void CWBDialog::ItemDocumentComplete(WORD, IDispatch*, VARIANT*) {}
void CWBDialog::ItemCommandStateChange(WORD, long, VARIANT_BOOL) {}
void CWBDialog::ItemNavigateError(WORD, IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}

DWORD CWBDialog::GetHostFlags()
{
    return 0x4000d;
}

void CWBDialog::OnBeforeBrowserSetup() {}
void CWBDialog::SendStatistics() {}

BOOL CWBDialog::ResolveEntity(CString&)
{
    return FALSE;
}

void CWBDialog::InitTexts() {}
void CWBDialog::InitFonts() {}
void CWBDialog::OnItemDocumentReady(WORD) {}
void CWBDialog::DoPaint(HDC) {}
void CWBDialog::OnPageInit(LPARAM) {}
void CWBDialog::LoadBrowserContent(WORD) {}

BOOL CWBDialog::SetCurrentStep(const char*)
{
    return FALSE;
}

CWBDialog* CWBDialog::ResolvePage(HWND, CPageContext*)
{
    return this;
}

BOOL CWBDialog::InitBrowsers(HWND)
{
    OnBeforeBrowserSetup();
    CComPtr<IUnknown> control;
    HWND window = GetDlgItem(m_browserId);
    if (!window || AtlAxGetControl(window, &control) != S_OK || !control)
        return TRUE;
    control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_browser));
    if (m_browser) {
        // Files dropped on the page must not navigate it away.
        m_browser->put_RegisterAsDropTarget(VARIANT_FALSE);
        m_sink.Advise(m_browser);
        BSTR blank = SysAllocString(L"about:blank");
        VARIANT empty;
        VariantInit(&empty);
        VARIANT url;
        VariantInit(&url);
        url.vt = VT_BSTR;
        url.bstrVal = blank;
        m_browser->Navigate2(&url, &empty, &empty, &empty, &empty);
        SysFreeString(blank);
    }
    return TRUE;
}

LRESULT CWBDialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    m_sink.Unadvise();
    m_browser.Release();
    return 0;
}

LRESULT CWBDialog::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    switch (LOWORD(wParam)) {
    case WA_INACTIVE:
        m_savedFocus = ::GetFocus();
        break;
    case WA_ACTIVE:
    case WA_CLICKACTIVE:
        if (m_savedFocus && ::IsWindow(m_savedFocus))
            ::SetFocus(m_savedFocus);
        break;
    default:
        bHandled = FALSE;
        break;
    }
    return 0;
}

LRESULT CWBDialog::OnInitBrowsers(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    return InitBrowsers(reinterpret_cast<HWND>(wParam));
}

LRESULT CWBDialog::OnCtlColor(UINT, WPARAM, LPARAM, BOOL&)
{
    return LRESULT(::GetStockObject(WHITE_BRUSH));
}

int EnableDlgItems(HWND page, BOOL enable, ...)
{
    va_list ids;
    va_start(ids, enable);
    for (int id; (id = va_arg(ids, int)) != 0;)
        ::EnableWindow(::GetDlgItem(page, id), enable);
    va_end(ids);
    return 1;
}

int ShowDlgItems(HWND page, int showCommand, ...)
{
    va_list ids;
    va_start(ids, showCommand);
    for (int id; (id = va_arg(ids, int)) != 0;)
        ::ShowWindow(::GetDlgItem(page, id), showCommand);
    va_end(ids);
    return 1;
}

void DestroyPage(CWBDialog* page)
{
    if (!page)
        return;
    if (page->m_hWnd && ::IsWindow(page->m_hWnd))
        ::DestroyWindow(page->m_hWnd);
    else
        delete page;
}

bool IsWebUrl(const char* url)
{
    if (!url)
        return false;
    return _strnicmp(url, "http://", 7) == 0 || _strnicmp(url, "https://", 8) == 0;
}
