#pragma once
// The UI handler a page installs on each document of its browser: it swallows the Ctrl
// shortcuts that would open a location, a new window or a file, print or zoom, and hands
// everything else to the handler the document had before. The document holds it.
#include <windows.h>
#include <mshtmhst.h>

#include "CComObjectImpl.h"
#include "CComPtr.h"

// ICustomDoc's interface id, which the import libraries lack.
extern const IID kIID_ICustomDoc;

class CShortcutkeySuppressor final
    : public CComObjectImpl<CShortcutkeySuppressor, CComHeapLifetime, IDocHostUIHandler> {
public:
    // Installs a new suppressor on document (when it has a client site). The caller keeps no
    // reference. A COM failure other than E_NOINTERFACE is returned.
    static HRESULT Install(IUnknown* document);

    // True for a key that, with Ctrl held, must not reach the browser.
    static bool IsSuppressedKey(const MSG& message);

    // Other interfaces a document asks its handler for are the site's.
    HRESULT QueryOther(REFIID iid, void** object);
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* object) override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                                     IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
    HRESULT STDMETHODCALLTYPE HideUI() override;
    HRESULT STDMETHODCALLTYPE UpdateUI() override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, const GUID* group, DWORD command) override;
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* target, IDropTarget** replacement) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override;
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* data, IDataObject** replacement) override;

private:
    friend CComObjectImpl;
    CShortcutkeySuppressor(IOleClientSite* site, IDocHostUIHandler* previous);
    ~CShortcutkeySuppressor() = default;

    CComPtr<IOleClientSite> m_site;
    CComPtr<IDocHostUIHandler> m_previous;
};
