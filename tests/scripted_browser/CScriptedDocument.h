#pragma once
// One document of a browser (a new one for each navigation): the HTML bytes and their
// model, the style sheets pages add, the UI handler a page installs, and the document's own
// "Internet Explorer_Server" window. New content (Load, or open / write / close once the
// document is complete) replaces the bytes, the model and the sheets of the same object, as
// in a browser. A document the browser has replaced is detached: it stays a valid COM
// object for whoever still holds it, with no window and no browser.
#include <windows.h>
#include <mshtmhst.h>

#include <memory>
#include <string>
#include <vector>

#include "CComObjectImpl.h"
#include "CComPtr.h"
#include "CScriptedStyleSheet.h"
#include "HtmlModel.h"
#include "LiveObject.h"
#include "ScriptedStubs.h"

namespace scripted {

class CScriptedBrowser;

class CScriptedDocument final
    : public CComObjectImpl<CScriptedDocument, CComHeapLifetime, CStubHTMLDocument2, CStubPersistStreamInit,
                            CStubOleObject, CStubCustomDoc, CStubOleWindow> {
public:
    // Reference count 1, owned by the caller (the browser).
    CScriptedDocument(CScriptedBrowser* browser, std::string url, std::string html);
    CScriptedDocument(const CScriptedDocument&) = delete;
    CScriptedDocument& operator=(const CScriptedDocument&) = delete;

    void Detach();
    void CreateWindowIn(HWND shellEmbedding);
    void FitWindow();
    HWND Window() const { return m_window; }
    const std::string& Html() const { return m_html; }
    const std::string& Url() const { return m_url; }
    std::shared_ptr<HtmlModel> Model() const { return m_model; }
    std::vector<std::string> StyleSheets() const;
    // The number the run record gave the current content (0: none); its sheets are written under it.
    void SetDumpNumber(int number);
    // The handler the document asks: SetUIHandler's, else its client site's (AddRef'd; may be null).
    IDocHostUIHandler* CurrentUiHandler() const;
    // Records the host flags that handler gives.
    void AskHostInfo();
    IDispatch* AsDispatch() { return static_cast<IHTMLDocument2*>(this); }

    // IDispatch, IHTMLDocument and IPersist: the bases of the listed interfaces.
    HRESULT QueryOther(REFIID iid, void** object);
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;

    // IHTMLDocument2
    HRESULT STDMETHODCALLTYPE get_all(IHTMLElementCollection** all) override;
    HRESULT STDMETHODCALLTYPE get_readyState(BSTR* state) override;
    HRESULT STDMETHODCALLTYPE get_URL(BSTR* url) override;
    HRESULT STDMETHODCALLTYPE write(SAFEARRAY* texts) override;
    HRESULT STDMETHODCALLTYPE writeln(SAFEARRAY* texts) override;
    HRESULT STDMETHODCALLTYPE open(BSTR url, VARIANT name, VARIANT features, VARIANT replace,
                                   IDispatch** window) override;
    HRESULT STDMETHODCALLTYPE close() override;
    HRESULT STDMETHODCALLTYPE createStyleSheet(BSTR href, LONG index, IHTMLStyleSheet** sheet) override;

    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;

    // ICustomDoc
    HRESULT STDMETHODCALLTYPE SetUIHandler(IDocHostUIHandler* handler) override;

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;

private:
    // Deleted by the last Release.
    friend CComObjectImpl;
    ~CScriptedDocument();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void DestroyOwnWindow();
    HRESULT Append(SAFEARRAY* texts, const char* ending);
    // Starts new, empty content; the caller holds the registry lock.
    void StartContent();

    LiveObject m_live;
    CScriptedBrowser* m_browser;
    std::string m_url;
    std::string m_html;
    std::shared_ptr<HtmlModel> m_model;
    std::shared_ptr<StyleSheetSet> m_sheets;
    bool m_open = false;  // written with open / write, not yet closed
    CComPtr<IDocHostUIHandler> m_handler;
    HWND m_window = nullptr;
};

}  // namespace scripted
