#pragma once
// A container with a single connection point, for IPropertyNotifySink; every other interface
// (an event interface of the control included) is refused.
#include "CPropertyNotifySinkPoint.h"

template <typename T>
class IConnectionPointContainerImpl : public IConnectionPointContainer {
public:
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override
    {
        const std::vector<IConnectionPoint*> only{&m_propertyNotify};
        return CEnumConnectionPointsSnapshot::Create(this, only, 0, points);
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        if (!point)
            return E_POINTER;
        *point = nullptr;
        if (iid != IID_IPropertyNotifySink)
            return CONNECT_E_NOCONNECTION;
        m_propertyNotify.AddRef();
        *point = &m_propertyNotify;
        return S_OK;
    }

    // For quick activation, which connects the container's sink directly.
    HRESULT AdvisePropertyNotify(IUnknown* sink, DWORD* cookie) { return m_propertyNotify.Advise(sink, cookie); }
    void FirePropertyChanged(DISPID id) { m_propertyNotify.FireOnChanged(id); }

protected:
    IConnectionPointContainerImpl() : m_propertyNotify(this) {}

    CPropertyNotifySinkPoint m_propertyNotify;
};
