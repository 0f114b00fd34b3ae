#pragma once
// The control's dual interface, slot for slot as the type library declares it.
#include <oaidl.h>

#include "PevlinIds.h"

struct Ipevlin : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExecuteLSQ() = 0;
    virtual HRESULT STDMETHODCALLTYPE ExecuteISP() = 0;
    virtual HRESULT STDMETHODCALLTYPE ExecuteV6TR() = 0;
    virtual HRESULT STDMETHODCALLTYPE ExecuteVELDIN() = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CheckURL(BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_LogPath(BSTR path) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CompanyCode(BSTR code) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_RetryV6(LONG tries) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_RetryNB(LONG tries) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_RetryNA1(LONG tries) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Version(LONG* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RtnCode(LONG* code) = 0;
};
__CRT_UUID_DECL(Ipevlin, 0x5845cc3b, 0x16af, 0x42ab, 0xb2, 0x1e, 0xc8, 0x18, 0x5b, 0x27, 0x69, 0xec)
