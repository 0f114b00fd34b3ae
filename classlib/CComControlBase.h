#pragma once
// What the OLE control interfaces share: the container's sites and sinks, the position and
// extent, and in-place activation of a control that always has a window of its own. The
// *Impl interface bases reach it through their final class.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include "CComPtr.h"

class CComControlBase {
public:
    CComControlBase(const CComControlBase&) = delete;
    CComControlBase& operator=(const CComControlBase&) = delete;

    // The control's window; null while it is not in-place active.
    virtual HWND ControlWindow() const = 0;
    // Makes the window as a hidden child of parent at position; null on failure.
    virtual HWND CreateControlWindow(HWND parent, const RECT& position) = 0;
    virtual void DestroyControlWindow() = 0;
    // The control's own interfaces (not AddRef'd).
    virtual IOleObject* ControlOleObject() = 0;
    virtual IOleInPlaceActiveObject* ControlActiveObject() = 0;
    // Tells the property-change sinks that a property changed.
    virtual void FireOnChanged(DISPID id) {}

    // Activation for the verbs that show the control; UI activation for the verbs that also
    // give it the focus.
    HRESULT InPlaceActivate(LONG verb);
    HRESULT InPlaceDeactivate();
    HRESULT UIDeactivate();
    HRESULT SetObjectRects(const RECT* position, const RECT* clip);
    void SetDirty(bool dirty) { m_requiresSave = dirty; }
    // Tells the view sink, when there is one, that the picture changed.
    void SendOnViewChange();

    CComPtr<IOleClientSite> m_clientSite;
    CComPtr<IOleInPlaceSite> m_inPlaceSite;
    CComPtr<IAdviseSink> m_viewSink;
    DWORD m_viewAdviseFlags = 0;
    CComPtr<IOleAdviseHolder> m_oleAdviseHolder;
    CComPtr<IDataAdviseHolder> m_dataAdviseHolder;
    RECT m_rcPos = {};
    SIZEL m_sizeExtent = {};  // HIMETRIC
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
    bool m_requiresSave = false;
    // Never windowless: the control always asks its container for a window.
    bool m_windowOnly = true;

protected:
    CComControlBase() = default;
    virtual ~CComControlBase() = default;
};

// Pixels of the screen to HIMETRIC (0.01 mm) and back.
SIZEL AtlPixelToHiMetric(SIZE pixels);
SIZE AtlHiMetricToPixel(SIZEL himetric);
