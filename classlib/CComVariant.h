#pragma once
// A VARIANT that clears itself. Copies go through VariantCopy.
#include <windows.h>
#include <oleauto.h>

#include "CAtlException.h"

class CComVariant : public tagVARIANT {
public:
    CComVariant() { VariantInit(this); }
    CComVariant(const VARIANT& other)
    {
        VariantInit(this);
        Copy(&other);
    }
    CComVariant(const CComVariant& other) : CComVariant(static_cast<const VARIANT&>(other)) {}
    CComVariant(const wchar_t* text)
    {
        VariantInit(this);
        vt = VT_BSTR;
        bstrVal = SysAllocString(text ? text : L"");
        if (!bstrVal)
            AtlThrow(E_OUTOFMEMORY);
    }
    CComVariant(long value)
    {
        VariantInit(this);
        vt = VT_I4;
        lVal = value;
    }
    CComVariant(int value) : CComVariant(long(value)) {}
    CComVariant(bool value)
    {
        VariantInit(this);
        vt = VT_BOOL;
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    CComVariant(IDispatch* dispatch)
    {
        VariantInit(this);
        vt = VT_DISPATCH;
        pdispVal = dispatch;
        if (dispatch)
            dispatch->AddRef();
    }
    ~CComVariant() { VariantClear(this); }

    CComVariant& operator=(const CComVariant& other)
    {
        if (this != &other)
            Copy(&other);
        return *this;
    }
    CComVariant& operator=(const VARIANT& other)
    {
        if (&other != this)
            Copy(&other);
        return *this;
    }

    HRESULT Clear() { return VariantClear(this); }
    HRESULT ChangeType(VARTYPE type, const VARIANT* source = nullptr)
    {
        return VariantChangeType(this, source ? const_cast<VARIANT*>(source) : this, 0, type);
    }
    HRESULT Detach(VARIANT* out)
    {
        if (!out)
            return E_POINTER;
        HRESULT hr = VariantClear(out);
        if (FAILED(hr))
            return hr;
        *out = *static_cast<VARIANT*>(this);
        vt = VT_EMPTY;
        return S_OK;
    }

private:
    void Copy(const VARIANT* source)
    {
        HRESULT hr = VariantCopy(this, const_cast<VARIANT*>(source));
        if (FAILED(hr)) {
            vt = VT_ERROR;
            scode = hr;
        }
    }
};
