#pragma once
// The base of every wizard page: a modeless dialog, child of the frame, that shows most of
// its content in an embedded browser. Hosts drive pages of the core library only through
// this class, so every operation they call is declared here, in a fixed order that all
// deliverables share: append new operations at the end only.
#include <windows.h>
#include <oaidl.h>

#include "CAtlMap.h"
#include "CAxDialogImpl.h"
#include "CComPtr.h"
#include "CIEServer.h"
#include "CStringT.h"
#include "CWBItem.h"
#include "CWebBrowserEventSink.h"

struct CPageContext;
struct IHTMLDocument2;
struct IWebBrowser2;

class CWBDialog : public CAxDialogImpl<CWBDialog> {
public:
    CWBDialog(WORD dialogId, WORD browserId);
    ~CWBDialog() override;

    UINT GetDialogId() const { return m_dialogId; }

    BEGIN_MSG_MAP(CWBDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitBrowsers)
        MESSAGE_HANDLER(WM_CTLCOLORBTN, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORDLG, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
    END_MSG_MAP()

    virtual LRESULT OnCancel(WORD notifyCode, WORD id, HWND control);
    virtual void __stdcall BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrame,
                                           VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel);
    virtual void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url);
    virtual void __stdcall CommandStateChange(long command, VARIANT_BOOL enable);
    virtual void __stdcall NavigateError(IDispatch* browser, VARIANT* url, VARIANT* targetFrame, VARIANT* statusCode,
                                         VARIANT_BOOL* cancel);
    virtual void __stdcall NewWindow3(IDispatch** browser, VARIANT_BOOL* cancel, DWORD flags, BSTR urlContext, BSTR url);
    virtual void ItemBeforeNavigate2(WORD itemId, IDispatch* browser, VARIANT* url, VARIANT* flags,
                                     VARIANT* targetFrame, VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel);
    virtual void ItemDocumentComplete(WORD itemId, IDispatch* browser, VARIANT* url);
    virtual void ItemCommandStateChange(WORD itemId, long command, VARIANT_BOOL enable);
    virtual void ItemNavigateError(WORD itemId, IDispatch* browser, VARIANT* url, VARIANT* targetFrame,
                                   VARIANT* statusCode, VARIANT_BOOL* cancel);
    virtual DWORD GetHostFlags();
    virtual void OnBeforeBrowserSetup();
    virtual void SendStatistics();
    virtual BOOL ResolveEntity(CString& text);
    virtual void InitTexts();
    virtual void InitFonts();
    virtual void OnItemDocumentReady(WORD itemId);
    virtual void DoPaint(HDC dc);
    virtual void OnPageInit(LPARAM initParam);
    virtual void LoadBrowserContent(WORD controlId);
    virtual BOOL SetCurrentStep(const char* letters);
    // The page to show in place of this one: itself, another page, or null for none.
    virtual CWBDialog* ResolvePage(HWND frame, CPageContext* context);

    // The browser set-up of the page's extra browsers and its main browser control.
    BOOL InitBrowsers(HWND focus);
    // Loads html (CP932 bytes, as they are) as the document of the extra browser with that
    // control id, or of the main browser when there is no such item. Returns 1.
    int WriteHtml(WORD controlId, const char* html);
    // WriteHtml behind the line that declares the bytes Shift_JIS; null html writes only it.
    int WriteHtmlWithCharset(WORD controlId, const char* html);
    // Adds the definition's default style sheet to browser's current document; fails silently.
    void ApplyDefaultStyleSheet(IWebBrowser2* browser);
    // Takes over the window of the main browser's document, once per live window.
    void SubclassIEServer();

    WORD m_dialogId;
    WORD m_browserId;
    CAtlMap<WORD, CWBItem> m_items;
    HWND m_savedFocus = nullptr;
    CIEServer m_ieServer;
    CComPtr<IWebBrowser2> m_browser;
    CWebBrowserEventSink m_sink{this};

private:
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnInitBrowsers(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnCtlColor(UINT, WPARAM, LPARAM, BOOL&);
};

// For every id of the zero-terminated list: EnableWindow / ShowWindow on that control of
// page. Both return 1.
int EnableDlgItems(HWND page, BOOL enable, ...);
int ShowDlgItems(HWND page, int showCommand, ...);

// True when browser has an HTML document; it is then in document (AddRef'd).
bool GetHtmlDocument(IWebBrowser2* browser, IHTMLDocument2** document);

// No context menu, and docHostFlags for the documents, on the host of the control window.
void SetBrowserHostAmbients(HWND window, DWORD docHostFlags);

// Navigate2 to "about:blank" with every optional argument empty.
HRESULT NavigateToBlank(IWebBrowser2* browser);

// The line every page's HTML starts with: its bytes are Shift_JIS.
extern const char kShiftJisMetaLine[];

// Only web addresses may leave the wizard for the default browser: the program runs with
// administrator rights, so a file or other scheme would run with them.
bool IsWebUrl(const char* url);

// What opens a web address in the user's default browser (ShellExecute); tests put a
// recorder in its place. Returns the former one; null puts ShellExecute back.
typedef void (*DefaultBrowserOpener)(const char* url);
DefaultBrowserOpener SetDefaultBrowserOpener(DefaultBrowserOpener opener);

// A page passed over or handed over: its window goes (and the page with its final message),
// or, when it never got one, the object itself.
void DestroyPage(CWBDialog* page);
