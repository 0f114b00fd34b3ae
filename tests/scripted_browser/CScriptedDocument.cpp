#include "CScriptedDocument.h"

#include <mutex>

#include "BrowserRegistry.h"
#include "CScriptedBrowser.h"
#include "CScriptedElementCollection.h"
#include "CScriptedStyleSheet.h"
#include "ScriptedIids.h"
#include "Text.h"
#include "WindowClasses.h"

namespace scripted {

CScriptedDocument::CScriptedDocument(CScriptedBrowser* browser, std::string url, std::string html)
    : m_browser(browser),
      m_url(std::move(url)),
      m_html(std::move(html)),
      m_model(HtmlModel::Parse(m_html)),
      m_sheets(std::make_shared<StyleSheetSet>())
{
}

CScriptedDocument::~CScriptedDocument()
{
    Detach();
}

void CScriptedDocument::Detach()
{
    DestroyOwnWindow();
    m_browser = nullptr;
    m_handler.Release();
}

void CScriptedDocument::DestroyOwnWindow()
{
    HWND window = m_window;
    m_window = nullptr;
    if (window && ::IsWindow(window)) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        ::DestroyWindow(window);
    }
}

void CScriptedDocument::CreateWindowIn(HWND shellEmbedding)
{
    if ((m_window && ::IsWindow(m_window)) || !shellEmbedding || !EnsureWindowClass(kDocumentWindowClass, WindowProc))
        return;
    RECT area;
    ::GetClientRect(shellEmbedding, &area);
    m_window = ::CreateWindowExA(0, kDocumentWindowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, 0,
                                 0, area.right, area.bottom, shellEmbedding, nullptr, ModuleInstance(), nullptr);
    if (m_window)
        ::SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CScriptedDocument::FitWindow()
{
    if (!m_window || !::IsWindow(m_window))
        return;
    RECT area;
    ::GetClientRect(::GetParent(m_window), &area);
    ::MoveWindow(m_window, 0, 0, area.right, area.bottom, TRUE);
}

LRESULT CALLBACK CScriptedDocument::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        auto* document = reinterpret_cast<CScriptedDocument*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
        case WM_MOUSEWHEEL:
            // Counted here, after any subclass of the page has had its say.
            if (document && document->m_browser)
                document->m_browser->CountWheelMessage();
            return 0;
        case WM_DESTROY:
            if (document) {
                ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
                document->m_window = nullptr;
            }
            break;
        default:
            break;
        }
    } catch (...) {
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

std::vector<std::string> CScriptedDocument::StyleSheets() const
{
    return m_sheets->Texts();
}

void CScriptedDocument::SetDumpNumber(int number)
{
    std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
    m_sheets->dumpNumber = number;
    if (!m_sheets->sheets.empty())
        m_sheets->Dump();
}

void CScriptedDocument::StartContent()
{
    m_html.clear();
    m_model = HtmlModel::Parse(m_html);
    m_sheets = std::make_shared<StyleSheetSet>();
}

IDocHostUIHandler* CScriptedDocument::CurrentUiHandler() const
{
    if (m_handler) {
        m_handler->AddRef();
        return m_handler;
    }
    IOleClientSite* site = m_browser ? m_browser->ClientSite() : nullptr;
    IDocHostUIHandler* handler = nullptr;
    if (site)
        site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler));
    return handler;
}

void CScriptedDocument::AskHostInfo()
{
    IDocHostUIHandler* handler = CurrentUiHandler();
    if (!handler)
        return;
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof info;
    if (SUCCEEDED(handler->GetHostInfo(&info)) && m_browser)
        m_browser->RecordHostFlags(info.dwFlags);
    if (info.pchHostCss)
        ::CoTaskMemFree(info.pchHostCss);
    if (info.pchHostNS)
        ::CoTaskMemFree(info.pchHostNS);
    handler->Release();
}

HRESULT CScriptedDocument::QueryOther(REFIID iid, void** object)
{
    if (iid == IID_IDispatch || iid == __uuidof(IHTMLDocument))
        *object = static_cast<IHTMLDocument2*>(this);
    else if (iid == IID_IPersist)
        *object = static_cast<IPersistStreamInit*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CScriptedDocument::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CScriptedDocument::get_all(IHTMLElementCollection** all)
{
    if (!all)
        return E_POINTER;
    try {
        *all = new CScriptedElementCollection(m_model);
        return S_OK;
    } catch (...) {
        *all = nullptr;
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedDocument::get_readyState(BSTR* state)
{
    if (!state)
        return E_POINTER;
    *state = ::SysAllocString(m_open ? L"loading" : L"complete");
    return *state ? S_OK : E_OUTOFMEMORY;
}

HRESULT CScriptedDocument::get_URL(BSTR* url)
{
    if (!url)
        return E_POINTER;
    *url = AllocBstr(m_url);
    return *url ? S_OK : E_OUTOFMEMORY;
}

HRESULT CScriptedDocument::Append(SAFEARRAY* texts, const char* ending)
{
    if (!texts)
        return E_POINTER;
    try {
        VARIANT* values = nullptr;
        if (::SafeArrayGetDim(texts) != 1 || FAILED(::SafeArrayAccessData(texts, reinterpret_cast<void**>(&values))))
            return E_INVALIDARG;
        std::string text;
        const ULONG count = texts->rgsabound[0].cElements;
        for (ULONG i = 0; i < count; ++i) {
            VARIANT converted;
            ::VariantInit(&converted);
            if (SUCCEEDED(::VariantChangeType(&converted, &values[i], 0, VT_BSTR)))
                text += NarrowBstr(converted.bstrVal);
            ::VariantClear(&converted);
        }
        ::SafeArrayUnaccessData(texts);
        text += ending;
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        // Writing into a complete document opens it anew, as a browser does.
        if (!m_open) {
            StartContent();
            m_open = true;
        }
        m_html += text;
        m_model = HtmlModel::Parse(m_html);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedDocument::write(SAFEARRAY* texts)
{
    return Append(texts, "");
}

HRESULT CScriptedDocument::writeln(SAFEARRAY* texts)
{
    return Append(texts, "\r\n");
}

HRESULT CScriptedDocument::open(BSTR, VARIANT, VARIANT, VARIANT, IDispatch** window)
{
    try {
        if (window)
            *window = nullptr;
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        StartContent();
        m_open = true;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedDocument::close()
{
    try {
        std::string html;
        {
            std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
            if (!m_open)
                return S_OK;
            m_open = false;
            html = m_html;
        }
        if (m_browser)
            m_browser->DocumentLoaded(this, html, m_url);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedDocument::createStyleSheet(BSTR, LONG, IHTMLStyleSheet** sheet)
{
    if (!sheet)
        return E_POINTER;
    *sheet = nullptr;
    try {
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        m_sheets->sheets.emplace_back();
        m_sheets->Dump();
        *sheet = new CScriptedStyleSheet(m_sheets, m_sheets->sheets.size() - 1);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedDocument::IsDirty()
{
    return S_FALSE;
}

HRESULT CScriptedDocument::Load(LPSTREAM stream)
{
    if (!stream)
        return E_POINTER;
    try {
        std::string bytes;
        char buffer[4096];
        for (;;) {
            ULONG read = 0;
            const HRESULT hr = stream->Read(buffer, sizeof buffer, &read);
            if (FAILED(hr))
                return hr;
            bytes.append(buffer, read);
            if (read == 0 || hr == S_FALSE)
                break;
        }
        {
            std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
            StartContent();
            m_open = false;
            m_html = bytes;
            m_model = HtmlModel::Parse(m_html);
        }
        AskHostInfo();
        // A loaded stream completes under the blank address, as in a browser.
        if (m_browser)
            m_browser->DocumentLoaded(this, m_html, "about:blank");
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedDocument::InitNew()
{
    try {
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        StartContent();
        m_open = false;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedDocument::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = m_browser ? m_browser->ClientSite() : nullptr;
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

HRESULT CScriptedDocument::SetUIHandler(IDocHostUIHandler* handler)
{
    m_handler = handler;
    return S_OK;
}

HRESULT CScriptedDocument::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_window;
    return m_window ? S_OK : E_FAIL;
}

}  // namespace scripted
