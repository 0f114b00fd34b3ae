#include "CShortcutkeySuppressor.h"

#include <ole2.h>

#include "CComPtr.h"

// {3050F3F0-98B5-11CF-BB82-00AA00BDCE0B}
const IID kIID_ICustomDoc = {0x3050f3f0, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};

HRESULT CShortcutkeySuppressor::Install(IUnknown* document)
{
    if (!document)
        return E_POINTER;
    CComPtr<IOleObject> object;
    HRESULT hr = document->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object));
    if (FAILED(hr))
        return hr == E_NOINTERFACE ? S_FALSE : hr;
    CComPtr<IOleClientSite> site;
    hr = object->GetClientSite(&site);
    if (FAILED(hr))
        return hr;
    CComPtr<IDocHostUIHandler> previous;
    if (site) {
        hr = site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&previous));
        if (FAILED(hr) && hr != E_NOINTERFACE)
            return hr;
    }
    CComPtr<ICustomDoc> custom;
    hr = document->QueryInterface(kIID_ICustomDoc, reinterpret_cast<void**>(&custom));
    if (FAILED(hr))
        return hr == E_NOINTERFACE ? S_FALSE : hr;
    if (!site)
        return S_FALSE;
    auto* suppressor = new CShortcutkeySuppressor(site, previous);
    hr = custom->SetUIHandler(suppressor);
    // The document holds its own reference from here on.
    suppressor->Release();
    return hr;
}

bool CShortcutkeySuppressor::IsSuppressedKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN || message.wParam == VK_CONTROL || ::GetKeyState(VK_CONTROL) >= 0)
        return false;
    switch (message.wParam) {
    case 'L':
    case 'N':
    case 'O':
    case 'P':
    case VK_OEM_PLUS:
    case VK_OEM_MINUS:
        return true;
    default:
        return ::GetKeyState(VK_ADD) < 0 || ::GetKeyState(VK_SUBTRACT) < 0;
    }
}

CShortcutkeySuppressor::CShortcutkeySuppressor(IOleClientSite* site, IDocHostUIHandler* previous)
    : m_site(site), m_previous(previous)
{
}

HRESULT CShortcutkeySuppressor::QueryOther(REFIID iid, void** object)
{
    return m_site ? m_site->QueryInterface(iid, object) : E_NOINTERFACE;
}

// Without a previous handler there is nobody to answer: E_POINTER, as a null handler is.
#define FORWARD(call) return m_previous ? m_previous->call : E_POINTER

HRESULT CShortcutkeySuppressor::ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* object)
{
    FORWARD(ShowContextMenu(id, point, target, object));
}

HRESULT CShortcutkeySuppressor::GetHostInfo(DOCHOSTUIINFO* info)
{
    FORWARD(GetHostInfo(info));
}

HRESULT CShortcutkeySuppressor::ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                                       IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document)
{
    FORWARD(ShowUI(id, active, target, frame, document));
}

HRESULT CShortcutkeySuppressor::HideUI()
{
    FORWARD(HideUI());
}

HRESULT CShortcutkeySuppressor::UpdateUI()
{
    FORWARD(UpdateUI());
}

HRESULT CShortcutkeySuppressor::EnableModeless(BOOL enable)
{
    FORWARD(EnableModeless(enable));
}

HRESULT CShortcutkeySuppressor::OnDocWindowActivate(BOOL activate)
{
    FORWARD(OnDocWindowActivate(activate));
}

HRESULT CShortcutkeySuppressor::OnFrameWindowActivate(BOOL activate)
{
    FORWARD(OnFrameWindowActivate(activate));
}

HRESULT CShortcutkeySuppressor::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow)
{
    FORWARD(ResizeBorder(border, window, frameWindow));
}

HRESULT CShortcutkeySuppressor::TranslateAccelerator(LPMSG message, const GUID* group, DWORD command)
{
    if (message && IsSuppressedKey(*message))
        return S_OK;
    FORWARD(TranslateAccelerator(message, group, command));
}

HRESULT CShortcutkeySuppressor::GetOptionKeyPath(LPOLESTR* key, DWORD reserved)
{
    FORWARD(GetOptionKeyPath(key, reserved));
}

HRESULT CShortcutkeySuppressor::GetDropTarget(IDropTarget* target, IDropTarget** replacement)
{
    FORWARD(GetDropTarget(target, replacement));
}

HRESULT CShortcutkeySuppressor::GetExternal(IDispatch** external)
{
    FORWARD(GetExternal(external));
}

HRESULT CShortcutkeySuppressor::TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated)
{
    FORWARD(TranslateUrl(translate, url, translated));
}

HRESULT CShortcutkeySuppressor::FilterDataObject(IDataObject* data, IDataObject** replacement)
{
    FORWARD(FilterDataObject(data, replacement));
}
