#include "CAxHost.h"

#include <mshtmhst.h>
#include <ole2.h>

#include "CA2W.h"
#include "CComObjectImpl.h"
#include "CComPtr.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

const char kWebBrowserClassName[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";
// {6B3C5D1E-2F47-4A8E-9C10-4B5A2D7E8F31}: the project's own; only its own code asks for it.
const IID IID_IAxWinAmbientDispatch = {0x6b3c5d1e, 0x2f47, 0x4a8e, {0x9c, 0x10, 0x4b, 0x5a, 0x2d, 0x7e, 0x8f, 0x31}};

namespace {

const char kSiteProperty[] = "KavoAxSite";

// The container side of one hosted control: client site, in-place site and frame, the
// UI handler an HTML document asks for its host flags and context menu, and the ambient
// properties pages set.
class CAxSite final : public CComObjectImpl<CAxSite, CComHeapLifetime, IOleClientSite, IOleInPlaceSite,
                                            IOleInPlaceFrame, IDocHostUIHandler, IAxWinAmbientDispatch> {
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
            // A control calls OnInPlaceDeactivate from here, which lets go of m_inPlace.
            const CComPtr<IOleInPlaceObject> inPlace = m_inPlace;
            inPlace->InPlaceDeactivate();
            m_inPlace.Release();
        }
        if (m_object) {
            m_object->Close(OLECLOSE_NOSAVE);
            m_object->SetClientSite(nullptr);
            m_object.Release();
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

    // The control's own keyboard handling first, as a real container gives it.
    bool TranslateForwarded(MSG* message)
    {
        if (!m_object || !message)
            return false;
        CComPtr<IOleInPlaceActiveObject> active;
        if (FAILED(m_object->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active))) ||
            !active)
            return false;
        return active->TranslateAccelerator(message) == S_OK;
    }

    // The ids of the listed interfaces' bases.
    HRESULT QueryOther(REFIID iid, void** object)
    {
        if (iid == IID_IOleWindow)
            *object = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow)
            *object = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == IID_IDispatch)
            *object = static_cast<IAxWinAmbientDispatch*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
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
        m_inPlace.Release();
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

    // IDocHostUIHandler: S_OK for the context menu means the host dealt with it (no menu).
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override
    {
        return m_allowContextMenu ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override
    {
        if (!info)
            return E_POINTER;
        info->dwFlags = m_docHostFlags;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override
    {
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override
    {
        if (key)
            *key = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override
    {
        if (target)
            *target = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override
    {
        if (external)
            *external = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override
    {
        if (out)
            *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override
    {
        if (out)
            *out = nullptr;
        return S_FALSE;
    }

    // IDispatch: the ambient properties are set through the vtable only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

    // IAxWinAmbientDispatch
    HRESULT STDMETHODCALLTYPE put_AllowContextMenu(VARIANT_BOOL allow) override
    {
        m_allowContextMenu = allow != VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_AllowContextMenu(VARIANT_BOOL* allow) override
    {
        if (!allow)
            return E_POINTER;
        *allow = m_allowContextMenu ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_DocHostFlags(DWORD flags) override
    {
        m_docHostFlags = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_DocHostFlags(DWORD* flags) override
    {
        if (!flags)
            return E_POINTER;
        *flags = m_docHostFlags;
        return S_OK;
    }

private:
    friend CComObjectImpl;
    ~CAxSite() = default;

    HWND m_window;
    CComPtr<IOleObject> m_object;
    CComPtr<IOleInPlaceObject> m_inPlace;
    bool m_allowContextMenu = true;
    DWORD m_docHostFlags = 0;
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
        case WM_FORWARDMSG: {
            CAxSite* site = SiteOf(hWnd);
            return site && site->TranslateForwarded(reinterpret_cast<MSG*>(lParam)) ? 1 : 0;
        }
        default:
            if (uMsg == WM_ATLGETCONTROL) {
                CAxSite* site = SiteOf(hWnd);
                return site && site->Control() ? LRESULT(static_cast<IUnknown*>(site->Control())) : 0;
            }
            if (uMsg == WM_ATLGETHOST) {
                CAxSite* site = SiteOf(hWnd);
                return site ? LRESULT(static_cast<IUnknown*>(static_cast<IOleClientSite*>(site))) : 0;
            }
            break;
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
        }
    } catch (...) {
        // Without memory for a site the window simply hosts nothing.
    }
    return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

}  // namespace

bool AtlAxWinInit()
{
    return AtlAxWinRegisterClass(kWebBrowserClassName);
}

bool AtlAxWinRegisterClass(const char* classIdText)
{
    // A class of this module, whose code is its procedure, not a global one: a global class
    // would keep the procedure of whichever module registered it first, and run unloaded
    // code once that module is gone. Dialog templates of this module find it by its handle.
    const HINSTANCE module = reinterpret_cast<HINSTANCE>(&__ImageBase);
    WNDCLASSEXA existing = {sizeof existing};
    if (::GetClassInfoExA(module, classIdText, &existing))
        return true;
    WNDCLASSEXA windowClass = {sizeof windowClass};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = module;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = classIdText;
    return ::RegisterClassExA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

UINT AtlGetControlMessage()
{
    static const UINT message = ::RegisterWindowMessageA("WM_ATLGETCONTROL");
    return message;
}

UINT AtlGetHostMessage()
{
    static const UINT message = ::RegisterWindowMessageA("WM_ATLGETHOST");
    return message;
}

namespace {

HRESULT AskHostWindow(HWND window, UINT message, IUnknown** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!window || !::IsWindow(window))
        return S_FALSE;
    auto* answer = reinterpret_cast<IUnknown*>(::SendMessageA(window, message, 0, 0));
    if (!answer)
        return S_FALSE;
    return answer->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(object));
}

}  // namespace

HRESULT AtlAxGetControl(HWND window, IUnknown** control)
{
    return AskHostWindow(window, WM_ATLGETCONTROL, control);
}

HRESULT AtlAxGetHost(HWND window, IUnknown** host)
{
    return AskHostWindow(window, WM_ATLGETHOST, host);
}
