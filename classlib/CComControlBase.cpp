#include "CComControlBase.h"

namespace {

int ScreenDpi(int axis)
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, axis) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

SIZEL AtlPixelToHiMetric(SIZE pixels)
{
    return {::MulDiv(pixels.cx, 2540, ScreenDpi(LOGPIXELSX)), ::MulDiv(pixels.cy, 2540, ScreenDpi(LOGPIXELSY))};
}

SIZE AtlHiMetricToPixel(SIZEL himetric)
{
    return {::MulDiv(himetric.cx, ScreenDpi(LOGPIXELSX), 2540), ::MulDiv(himetric.cy, ScreenDpi(LOGPIXELSY), 2540)};
}

HRESULT CComControlBase::InPlaceActivate(LONG verb)
{
    if (!m_clientSite)
        return E_UNEXPECTED;
    if (!m_inPlaceSite &&
        FAILED(m_clientSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&m_inPlaceSite))))
        return E_FAIL;
    if (!m_inPlaceActive) {
        if (m_inPlaceSite->CanInPlaceActivate() != S_OK)
            return E_FAIL;
        m_inPlaceActive = true;
        m_inPlaceSite->OnInPlaceActivate();
        HWND parent = nullptr;
        m_inPlaceSite->GetWindow(&parent);
        CComPtr<IOleInPlaceFrame> frame;
        CComPtr<IOleInPlaceUIWindow> document;
        RECT position = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {sizeof frameInfo};
        if (SUCCEEDED(m_inPlaceSite->GetWindowContext(&frame, &document, &position, &clip, &frameInfo)))
            m_rcPos = position;
        if (!ControlWindow() && !CreateControlWindow(parent, m_rcPos)) {
            InPlaceDeactivate();
            return E_FAIL;
        }
        ::ShowWindow(ControlWindow(), SW_SHOW);
    }
    if (verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY || verb == OLEIVERB_SHOW) {
        if (!m_uiActive) {
            m_uiActive = true;
            m_inPlaceSite->OnUIActivate();
            CComPtr<IOleInPlaceFrame> frame;
            CComPtr<IOleInPlaceUIWindow> document;
            RECT position = {};
            RECT clip = {};
            OLEINPLACEFRAMEINFO frameInfo = {sizeof frameInfo};
            if (SUCCEEDED(m_inPlaceSite->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
                if (frame)
                    frame->SetActiveObject(ControlActiveObject(), nullptr);
                if (document)
                    document->SetActiveObject(ControlActiveObject(), nullptr);
            }
        }
        if (!::IsChild(ControlWindow(), ::GetFocus()))
            ::SetFocus(ControlWindow());
    }
    return S_OK;
}

HRESULT CComControlBase::UIDeactivate()
{
    if (!m_uiActive)
        return S_OK;
    m_uiActive = false;
    if (m_inPlaceSite) {
        CComPtr<IOleInPlaceFrame> frame;
        CComPtr<IOleInPlaceUIWindow> document;
        RECT position = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {sizeof frameInfo};
        if (SUCCEEDED(m_inPlaceSite->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
            if (document)
                document->SetActiveObject(nullptr, nullptr);
            if (frame)
                frame->SetActiveObject(nullptr, nullptr);
        }
        m_inPlaceSite->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT CComControlBase::InPlaceDeactivate()
{
    if (!m_inPlaceActive)
        return S_OK;
    UIDeactivate();
    m_inPlaceActive = false;
    DestroyControlWindow();
    // The site may let go of the control from here: keep the pointer until the call is done.
    const CComPtr<IOleInPlaceSite> site = m_inPlaceSite;
    m_inPlaceSite.Release();
    if (site)
        site->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT CComControlBase::SetObjectRects(const RECT* position, const RECT* clip)
{
    if (!position)
        return E_POINTER;
    m_rcPos = *position;
    if (HWND window = ControlWindow())
        ::MoveWindow(window, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, TRUE);
    return S_OK;
}

void CComControlBase::SendOnViewChange()
{
    if (m_viewSink)
        m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
}
