#include "CKAVODlg.h"

#include "HttpGetAsync.h"

#include <exdisp.h>
#include <mshtml.h>

#include "CAtlException.h"
#include "CAtlModule.h"
#include "CShortcutkeySuppressor.h"
#include "CGdiObjects.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "Entities.h"
#include "LauncherTool.h"
#include "StepBar.h"

namespace {
// The frame's header band above the page, where the step bar's row of tiles sits.
const int kHeaderHeight = 47;
}  // namespace

CKAVODlgBase::CKAVODlgBase(WORD dialogId, WORD browserId, const char* stepLetters, bool closeEnabled)
    : CWBDialog(dialogId, browserId), m_stepLetters(stepLetters), m_closeEnabled(closeEnabled)
{
}

CKAVODlgBase::~CKAVODlgBase()
{
    if (m_context && m_context->ownerPage == this)
        delete m_context;
}

void CKAVODlgBase::OnFinalMessage(HWND)
{
    delete this;
}

LRESULT CKAVODlgBase::OnCancel(WORD, WORD, HWND)
{
    if (m_context)
        m_context->cleanupFlags = CLEANUP_ALL;
    GoToPage(nullptr, 0);
    return 0;
}

BOOL CKAVODlgBase::SetCurrentStep(const char* letters)
{
    if (!letters || !m_context)
        return FALSE;
    return ApplyStepLetters(m_context->phase, letters);
}

void __stdcall CKAVODlgBase::DocumentComplete(IDispatch* browser, VARIANT*)
{
    CComPtr<IWebBrowser2> webBrowser;
    if (browser) {
        const HRESULT hr = browser->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&webBrowser));
        if (FAILED(hr) && hr != E_NOINTERFACE)
            AtlThrow(hr);
    }
    CComPtr<IHTMLDocument2> document;
    if (webBrowser && GetHtmlDocument(webBrowser, &document)) {
        const HRESULT hr = CShortcutkeySuppressor::Install(document);
        if (FAILED(hr))
            AtlThrow(hr);
        SubclassIEServer();
    }
    if (!m_mainDocumentLoaded) {
        // Set first: a browser that completes the written document at once re-enters here.
        m_mainDocumentLoaded = TRUE;
        LoadBrowserContent(0);
    } else {
        ApplyDefaultStyleSheet(m_browser);
    }
}

void CKAVODlgBase::ItemDocumentComplete(WORD itemId, IDispatch*, VARIANT*)
{
    OnItemDocumentReady(itemId);
    if (m_itemsLoaded.Find(itemId) >= 0) {
        if (CAtlMap<WORD, CWBItem>::CPair* item = m_items.Lookup(itemId))
            ApplyDefaultStyleSheet(item->m_value.m_browser);
        return;
    }
    m_itemsLoaded.Add(itemId);
    LoadBrowserContent(itemId);
}

BOOL CKAVODlgBase::ResolveEntity(CString& text)
{
    return ResolveStandardEntity(text, CTextDef::GetDomainUrl(), GetModuleFileNameText(AtlGetResourceInstance()));
}

void CKAVODlgBase::ExpandEntities(CString& text)
{
    const EntityResolver throughPage = [](void* page, CString& token) {
        return static_cast<CKAVODlgBase*>(page)->ResolveEntity(token);
    };
    CString expanded = ExpandEntityText(text, throughPage, this);
    text = expanded;
}

void CKAVODlgBase::GetExpandedText(CString& out, const char* key)
{
    CString text = CTextDef::GetText(key);
    ExpandEntities(text);
    out = text;
}

void CKAVODlgBase::SendPing(const char* key)
{
    CString url;
    GetExpandedText(url, key);
    HttpGetAsync(url, false);
}

LRESULT CKAVODlgBase::OnInitDialog(HWND focus, LPARAM initParam)
{
    SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    // The frame keeps its centre and becomes exactly the page plus the header band.
    CWindow frame(reinterpret_cast<HWND>(GetWindowLongPtr(GWLP_HWNDPARENT)));
    if (frame.m_hWnd) {
        RECT frameRect;
        frame.GetWindowRect(&frameRect);
        const int centreX = frameRect.left + (frameRect.right - frameRect.left) / 2;
        const int centreY = frameRect.top + (frameRect.bottom - frameRect.top) / 2;
        RECT pageRect;
        GetWindowRect(&pageRect);
        pageRect.bottom += kHeaderHeight;
        ::AdjustWindowRectEx(&pageRect, DWORD(frame.GetStyle()), FALSE, DWORD(frame.GetExStyle()));
        const int width = pageRect.right - pageRect.left;
        const int height = pageRect.bottom - pageRect.top;
        frame.SetWindowPos(nullptr, centreX - width / 2, centreY - height / 2, width, height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetWindowPos(nullptr, 0, kHeaderHeight, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (!m_context) {
        if (initParam)
            m_context = reinterpret_cast<CPageContext*>(initParam);
        else if (LONG_PTR stored = GetWindowLongPtr(GWLP_USERDATA))
            m_context = reinterpret_cast<CPageContext*>(stored);
        else
            m_context = new CPageContext(this);
    }
    SetCurrentStep(m_stepLetters);
    if (frame.m_hWnd) {
        SetParent(frame);
        if (HMENU menu = frame.GetSystemMenu(FALSE))
            ::EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (m_closeEnabled ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
    }
    const BOOL result = InitBrowsers(focus);
    m_context->notifyWindow = m_hWnd;
    m_context->notifyMessage = WM_KAVO_REQUESTDONE;
    InitFonts();
    InitTexts();
    OnPageInit(initParam);
    return result;
}

void CKAVODlgBase::GoToPage(CWBDialog* next, int clear)
{
    HWND frame = GetParent();
    CPageContext* context = m_context;
    CWBDialog* candidate = next;
    bool accepted = false;
    while (candidate) {
        CWBDialog* answer = candidate->ResolvePage(frame, context);
        if (answer == candidate) {
            accepted = true;
            break;
        }
        DestroyPage(candidate);
        candidate = answer;
    }
    if ((!accepted || clear) && context)
        context->ClearFlowData();
    ::PostMessageA(frame, WM_KAVO_PAGE, PAGECMD_SETPAGE, reinterpret_cast<LPARAM>(candidate));
    DestroyPage(this);
}

LRESULT CKAVODlgBase::OnCloseCommand(WORD, WORD, HWND)
{
    if (m_closeQueryShown)
        return 0;
    m_closeQueryShown = TRUE;
    const int answer = MessageBox(CTextDef::GetText("COMMON_CLOSEQUERY"), CTextDef::GetText("COMMON_TITLE"),
                                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    m_closeQueryShown = FALSE;
    // The box kept dispatching messages: the page may have been handed over meanwhile. The
    // object itself lives until this message returns; its window does not.
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return 0;
    if (answer != IDYES)
        return 0;

    m_context->traceLog.WriteLine("終了確認で「はい」を選択");
    if (!m_keepParent) {
        CString toolPath;
        GetExpandedText(toolPath, "COMMON_REG_TOSKPATH");
        StartLauncherTool(toolPath);
    }
    m_context->cleanupFlags = CLEANUP_ALL;
    m_context->traceLog.WriteLine("画面非表示");
    ::ShowWindow(GetParent(), SW_HIDE);
    SendStatistics();
    GoToPage(nullptr, 0);
    return 0;
}

void CKAVODlgBase::OnDrawStepBar(UINT controlId, const DRAWITEMSTRUCT* item)
{
    if (controlId != IDC_STEPBAR || !item || !m_context)
        return;
    DrawStepTiles(item->hDC, AtlGetResourceInstance(), m_context->phase);
}

LRESULT CKAVODlgBase::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam) {
        DoPaint(reinterpret_cast<HDC>(wParam));
    } else {
        CPaintDC dc(m_hWnd);
        DoPaint(dc);
    }
    return 0;
}

LRESULT CKAVODlgBase::OnDrawItem(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    OnDrawStepBar(UINT(wParam), reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
}

LRESULT CKAVODlgBase::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CKAVODlgBase::OnCloseCommandMessage(WORD notifyCode, WORD id, HWND control, BOOL&)
{
    return OnCloseCommand(notifyCode, id, control);
}
