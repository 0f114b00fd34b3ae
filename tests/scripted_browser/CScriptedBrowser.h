#pragma once
// The scripted WebBrowser object: what CoCreateInstance(CLSID_WebBrowser) gives the page.
// It navigates like a real browser (BeforeNavigate2 at once, the rest from the thread's
// message loop), fetches loopback pages only, keeps one document per navigation, and
// records what happens for the test views. Test actions (ticking a box, submitting a
// form, clicking a link) run here too, so they behave as a user's would.
#include <windows.h>
#include <exdisp.h>

#include <string>
#include <vector>

#include "BrowserEvents.h"
#include "CComObjectImpl.h"
#include "CComPtr.h"
#include "CScriptedConnectionPoint.h"
#include "LiveObject.h"
#include "ScriptedStubs.h"
#include "TaskQueue.h"

namespace scripted {

class CScriptedDocument;
class HtmlModel;

class CScriptedBrowser final
    : public CComObjectImpl<CScriptedBrowser, CComHeapLifetime, CStubWebBrowser2, CStubOleObject,
                            CStubOleInPlaceObject, CStubConnectionPointContainer, IOleInPlaceActiveObject> {
public:
    static HRESULT Create(REFIID iid, void** object);
    CScriptedBrowser(const CScriptedBrowser&) = delete;
    CScriptedBrowser& operator=(const CScriptedBrowser&) = delete;

    unsigned long Id() const { return m_id; }

    // For its documents.
    IOleClientSite* ClientSite() const { return m_site; }
    void RecordHostFlags(DWORD flags);
    // New content of the document: recorded, then completed from the message loop under url.
    void DocumentLoaded(CScriptedDocument* document, const std::string& html, const std::string& url);
    void CountWheelMessage();

    // Whether a navigation a test action starts begins inside the call or from the message loop.
    enum class Navigation { now, later };

    // Test actions; false when the element is not there or refuses.
    bool SetChecked(const std::string& name, bool checked);
    bool Submit(const std::string& inputName);
    bool Press(const std::string& name, size_t index, Navigation when);
    bool PressIn(const std::string& field, const std::string& value, const std::string& name, Navigation when);
    bool Select(const std::string& name, const std::string& value);
    bool Type(const std::string& name, const std::string& text);
    bool ClickLink(const std::string& href);
    void NavigateTo(const std::string& url);
    // A command of another process (the verbs of ScriptedBrowser.h's SendCommand). Navigations
    // it leads to are checked now and run from the message loop.
    bool RunCommand(const std::string& command);

    // Read by the views while they hold the registry lock.
    std::string Html() const;
    std::vector<std::string> WrittenDocuments() const { return m_written; }
    std::vector<std::string> StyleSheets() const;
    std::string LocationUrl() const { return m_location; }
    std::vector<std::string> Events() const { return m_events; }
    HWND Window() const { return m_shell; }
    HWND DocumentWindow() const;
    DWORD HostFlags() const { return m_hostFlags; }
    bool RegisteredAsDropTarget() const { return m_dropTarget; }
    int WheelMessages() const { return m_wheelMessages; }
    bool Idle() const { return m_queue.Empty(); }
    bool IsChecked(const std::string& name) const;
    bool IsDisabled(const std::string& name) const;
    std::string Value(const std::string& name) const;
    // The current UI handler of the document (else the client site's), AddRef'd or null.
    IDocHostUIHandler* UiHandler() const;
    IDispatch* DocumentDispatch() const;

    // IDispatch, IWebBrowser, IWebBrowserApp and IOleWindow: the bases of the listed interfaces.
    HRESULT QueryOther(REFIID iid, void** object);

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    // IWebBrowser, IWebBrowser2
    HRESULT STDMETHODCALLTYPE Navigate(BSTR url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                       VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                        VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE Refresh2(VARIANT* level) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** document) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* url) override;
    HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL* busy) override;
    HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE* state) override;
    HRESULT STDMETHODCALLTYPE put_RegisterAsDropTarget(VARIANT_BOOL registered) override;
    HRESULT STDMETHODCALLTYPE get_RegisterAsDropTarget(VARIANT_BOOL* registered) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index, HWND parent,
                                     LPCRECT position) override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;

    // IOleWindow, IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IOleInPlaceActiveObject: a key the container forwards goes to the document's UI handler
    // first (S_OK: it swallowed the key); otherwise the document has it, which is recorded
    // as the event line "DocumentKey <message> <key>" (decimal), and a Ctrl shortcut or Tab
    // counts as taken (S_OK).
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;

private:
    // Deleted by the last Release.
    friend CComObjectImpl;
    CScriptedBrowser();
    ~CScriptedBrowser();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    IDispatch* AsDispatch() { return static_cast<IWebBrowser2*>(this); }
    // newWindowFlags: what NewWindow3 reports when the request opens a new window.
    void StartNavigation(const NavigationRequest& request, long newWindowFlags);
    void LoadNavigation(const NavigationRequest& request);
    void FailNavigation(const NavigationRequest& request, const std::string& url, long status);
    void FinishNavigation(const NavigationRequest& request, const std::string& url, const std::string& html,
                          bool dump);
    void ReplaceDocument(const std::string& url, const std::string& html, bool dump);
    void FireDocumentComplete(const std::string& url);
    void FireCommandState(long command, bool enable);
    // A user's click on element index of the current document.
    bool Click(int index, Navigation when);
    void Navigate(const NavigationRequest& request, Navigation when);
    static void UncheckGroup(HtmlModel& model, size_t radio);
    bool SubmissionAt(size_t index, NavigationRequest* request) const;
    void Record(const std::string& line);
    HRESULT Activate(IOleClientSite* activeSite, HWND parent, LPCRECT position);
    void Later(void (CScriptedBrowser::*step)(const NavigationRequest&), const NavigationRequest& request);
    bool SubmissionOf(const std::string& inputName, NavigationRequest* request) const;
    bool LinkRequest(const std::string& href, NavigationRequest* request) const;

    LiveObject m_live;
    unsigned long m_id = 0;
    CScriptedConnectionPoint m_point;
    BrowserEvents m_fire;
    TaskQueue m_queue;
    CComPtr<IOleClientSite> m_site;
    CComPtr<IOleInPlaceSite> m_inPlaceSite;
    HWND m_shell = nullptr;
    CComPtr<CScriptedDocument> m_document;
    SIZEL m_extent = {};

    // Records for the views.
    std::string m_location;
    std::vector<std::string> m_events;
    std::vector<std::string> m_written;
    DWORD m_hostFlags = 0;
    bool m_dropTarget = true;
    int m_wheelMessages = 0;
    int m_dumpNumber = 0;
    int m_travelSteps = 0;
};

}  // namespace scripted
