#include "CAxHost.h"

#include <ole2.h>

#include "CA2W.h"

const char kWebBrowserClassName[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";

namespace {

const char kSiteProperty[] = "KavoAxSite";

// The container side of one hosted control: client site, in-place site and frame.
class CAxSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    explicit CAxSite(HWND window) : m_window(window) {}

    bool Create(const CLSID& clsid)
    {
        if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                      reinterpret_cast<void**>(&m_object))))
            return false;
        m_object->SetClientSite(this);
        RECT area;
        ::GetClientRect(m_window, &area);
        m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, m_window, &area);
        return true;
    }

    void Close()
    {
        if (m_inPlace) {
            m_inPlace->InPlaceDeactivate();
            m_inPlace->Release();
            m_inPlace = nullptr;
        }
        if (m_object) {
            m_object->Close(OLECLOSE_NOSAVE);
            m_object->SetClientSite(nullptr);
            m_object->Release();
            m_object = nullptr;
        }
    }

    void Resize()
    {
        if (!m_inPlace)
            return;
        RECT area;
        ::GetClientRect(m_window, &area);
        m_inPlace->SetObjectRects(&area, &area);
    }

    IOleObject* Control() const { return m_object; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *object = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *object = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *object = static_cast<IOleInPlaceFrame*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return ULONG(refs);
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override
    {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (in-place site and frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        *window = m_window;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override
    {
        if (!m_inPlace && m_object)
            m_object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_inPlace));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip, OLEINPLACEFRAMEINFO* info) override
    {
        if (!frame || !document || !position || !clip || !info)
            return E_POINTER;
        AddRef();
        *frame = this;
        *document = nullptr;
        ::GetClientRect(m_window, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = ::GetAncestor(m_window, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override
    {
        if (m_inPlace) {
            m_inPlace->Release();
            m_inPlace = nullptr;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override
    {
        if (m_inPlace && position)
            m_inPlace->SetObjectRects(position, position);
        return S_OK;
    }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: the page has no tool space or menus to lend.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~CAxSite() = default;

    LONG m_refs = 1;
    HWND m_window;
    IOleObject* m_object = nullptr;
    IOleInPlaceObject* m_inPlace = nullptr;
};

CAxSite* SiteOf(HWND window)
{
    return static_cast<CAxSite*>(::GetPropA(window, kSiteProperty));
}

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (uMsg) {
        case WM_CREATE: {
            char className[64] = {};
            ::GetClassNameA(hWnd, className, sizeof className);
            CLSID clsid;
            if (SUCCEEDED(::CLSIDFromString(const_cast<LPOLESTR>(static_cast<const wchar_t*>(CA2W(className))), &clsid))) {
                auto* site = new CAxSite(hWnd);
                if (site->Create(clsid))
                    ::SetPropA(hWnd, kSiteProperty, site);
                else
                    site->Release();
            }
            return 0;
        }
        case WM_SIZE:
            if (CAxSite* site = SiteOf(hWnd))
                site->Resize();
            break;
        case WM_DESTROY:
            if (CAxSite* site = SiteOf(hWnd)) {
                ::RemovePropA(hWnd, kSiteProperty);
                site->Close();
                site->Release();
            }
            break;
        default:
            break;
        }
    } catch (...) {
        // Without memory for a site the window simply hosts nothing.
    }
    return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

}  // namespace

bool AtlAxWinInit()
{
    WNDCLASSEXA existing = {sizeof existing};
    if (::GetClassInfoExA(::GetModuleHandleA(nullptr), kWebBrowserClassName, &existing))
        return true;
    WNDCLASSEXA windowClass = {sizeof windowClass};
    // Global: dialog templates of any module in the process find it.
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kWebBrowserClassName;
    return ::RegisterClassExA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HRESULT AtlAxGetControl(HWND window, IUnknown** control)
{
    if (!control)
        return E_POINTER;
    *control = nullptr;
    CAxSite* site = window ? SiteOf(window) : nullptr;
    if (!site || !site->Control())
        return S_FALSE;
    return site->Control()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(control));
}
