#include "CWBDialog.h"

#include <exdisp.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstring>

#include "CA2W.h"
#include "CAxHost.h"
#include "CComBSTR.h"
#include "CComVariant.h"
#include "CTextDef.h"

namespace {

void ShellOpen(const char* url)
{
    ::ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
}

DefaultBrowserOpener g_openInDefaultBrowser = ShellOpen;

}  // namespace

const char kShiftJisMetaLine[] = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n";

CWBDialog::CWBDialog(WORD dialogId, WORD browserId) : m_dialogId(dialogId), m_browserId(browserId)
{
    m_items.InitHashTable(17);
}

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
    CW2A address(url);
    if (IsWebUrl(address))
        g_openInDefaultBrowser(address);
}
void CWBDialog::ItemBeforeNavigate2(WORD, IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}
void CWBDialog::ItemDocumentComplete(WORD, IDispatch*, VARIANT*) {}
void CWBDialog::ItemCommandStateChange(WORD, long, VARIANT_BOOL) {}
void CWBDialog::ItemNavigateError(WORD, IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}

DWORD CWBDialog::GetHostFlags()
{
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
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
    for (POSITION pos = m_items.GetStartPosition(); pos;) {
        auto* pair = m_items.GetNext(pos);
        pair->m_value.Setup(this, pair->m_key);
    }
    CComPtr<IUnknown> control;
    HWND window = GetDlgItem(m_browserId);
    if (!window || AtlAxGetControl(window, &control) != S_OK || !control)
        return TRUE;
    control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_browser));
    SetBrowserHostAmbients(window, GetHostFlags());
    if (m_browser) {
        // Files dropped on the page must not navigate it away.
        m_browser->put_RegisterAsDropTarget(VARIANT_FALSE);
        m_sink.Advise(m_browser);
        NavigateToBlank(m_browser);
    }
    return TRUE;
}

int CWBDialog::WriteHtml(WORD controlId, const char* html)
{
    IWebBrowser2* browser = m_browser;
    if (CAtlMap<WORD, CWBItem>::CPair* item = m_items.Lookup(controlId))
        browser = item->m_value.m_browser;
    if (!browser || !html)
        return 1;
    CComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(&document)) || !document)
        return 1;
    const size_t length = strlen(html);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    if (!memory)
        return 1;
    if (void* bytes = ::GlobalLock(memory)) {
        memcpy(bytes, html, length + 1);
        ::GlobalUnlock(memory);
    }
    // The stream frees the block when the document lets go of it, however long loading takes.
    CComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        ::GlobalFree(memory);
        return 1;
    }
    // The document reads the text, not the NUL kept behind it.
    ULARGE_INTEGER size;
    size.QuadPart = length;
    stream->SetSize(size);
    CComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(document->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->InitNew()))
        persist->Load(stream);
    return 1;
}

int CWBDialog::WriteHtmlWithCharset(WORD controlId, const char* html)
{
    CString text(kShiftJisMetaLine);
    text += html ? html : "";
    return WriteHtml(controlId, text);
}

void CWBDialog::ApplyDefaultStyleSheet(IWebBrowser2* browser)
{
    CComPtr<IHTMLDocument2> document;
    if (!GetHtmlDocument(browser, &document))
        return;
    CComPtr<IHTMLStyleSheet> sheet;
    CComBSTR blank(L"about:blank");
    if (FAILED(document->createStyleSheet(blank, -1, &sheet)) || !sheet)
        return;
    CComBSTR css(CA2W(CTextDef::GetText("COMMON_DEFAULTSTYLESHEET")));
    sheet->put_cssText(css);
}

void CWBDialog::SubclassIEServer()
{
    if (m_ieServer.HasLiveWindow() || !m_browser)
        return;
    CComPtr<IDispatch> document;
    if (FAILED(m_browser->get_Document(&document)) || !document)
        return;
    CComPtr<IOleWindow> oleWindow;
    HWND window = nullptr;
    if (FAILED(document->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow))) ||
        FAILED(oleWindow->GetWindow(&window)) || !window)
        return;
    m_ieServer.SubclassWindow(window);
}

LRESULT CWBDialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_ieServer.HasLiveWindow())
        ::DestroyWindow(m_ieServer.m_hWnd);
    for (POSITION pos = m_items.GetStartPosition(); pos;)
        m_items.GetNext(pos)->m_value.Close();
    m_sink.Unadvise();
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

bool GetHtmlDocument(IWebBrowser2* browser, IHTMLDocument2** document)
{
    if (!document)
        return false;
    *document = nullptr;
    CComPtr<IDispatch> dispatch;
    if (!browser || FAILED(browser->get_Document(&dispatch)) || !dispatch)
        return false;
    return SUCCEEDED(dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(document))) && *document;
}

void SetBrowserHostAmbients(HWND window, DWORD docHostFlags)
{
    CComPtr<IUnknown> host;
    CComPtr<IAxWinAmbientDispatch> ambient;
    if (AtlAxGetHost(window, &host) != S_OK || !host ||
        FAILED(host->QueryInterface(IID_IAxWinAmbientDispatch, reinterpret_cast<void**>(&ambient))))
        return;
    ambient->put_AllowContextMenu(VARIANT_FALSE);
    ambient->put_DocHostFlags(docHostFlags);
}

HRESULT NavigateToBlank(IWebBrowser2* browser)
{
    if (!browser)
        return E_POINTER;
    CComVariant url(L"about:blank");
    CComVariant empty;
    return browser->Navigate2(&url, &empty, &empty, &empty, &empty);
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

DefaultBrowserOpener SetDefaultBrowserOpener(DefaultBrowserOpener opener)
{
    const DefaultBrowserOpener former = g_openInDefaultBrowser;
    g_openInDefaultBrowser = opener ? opener : ShellOpen;
    return former;
}
