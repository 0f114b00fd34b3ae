#pragma once
// The view object of a windowed control: its window paints itself, so Draw only fills the
// area for a container that renders the control elsewhere (a print, a snapshot).
#include "CComControlBase.h"

template <typename T>
class IViewObjectExImpl : public IViewObjectEx {
public:
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                                   LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override
    {
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!dc || !bounds)
            return E_INVALIDARG;
        const RECT area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
        ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) override
    {
        if (colors)
            *colors = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD, DWORD flags, IAdviseSink* sink) override
    {
        Self()->m_viewSink = sink;
        Self()->m_viewAdviseFlags = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override
    {
        if (aspects)
            *aspects = DVASPECT_CONTENT;
        if (flags)
            *flags = Self()->m_viewAdviseFlags;
        if (sink) {
            *sink = Self()->m_viewSink;
            if (*sink)
                (*sink)->AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override
    {
        if (!size)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        *size = Self()->m_sizeExtent;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRect(DWORD aspect, LPRECTL rect) override
    {
        if (!rect)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        const RECT& position = Self()->m_rcPos;
        *rect = {position.left, position.top, position.right, position.bottom};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* status) override
    {
        if (!status)
            return E_POINTER;
        *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG, DWORD* hit) override
    {
        if (!bounds || !hit)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        *hit = ::PtInRect(bounds, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG, DWORD* hit) override
    {
        if (!bounds || !rect || !hit)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        RECT common;
        *hit = ::IntersectRect(&common, bounds, rect) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override
    {
        return E_NOTIMPL;
    }

private:
    T* Self() { return static_cast<T*>(this); }
};
