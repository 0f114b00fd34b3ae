#pragma once
// Error information is offered on the one interface Interface only.
#include <oaidl.h>

template <typename Interface>
class ISupportErrorInfoImpl : public ISupportErrorInfo {
public:
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override
    {
        return iid == __uuidof(Interface) ? S_OK : S_FALSE;
    }
};
