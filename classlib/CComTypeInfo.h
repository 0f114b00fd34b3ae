#pragma once
// Type information from the type library bound into a module (its TYPELIB resource 1).
#include <windows.h>
#include <oleauto.h>

#include "CComPtr.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

// The module whose code includes this header.
inline HINSTANCE AtlThisModule()
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

// *library: the module's type library (AddRef'd); null on failure.
inline HRESULT AtlLoadModuleTypeLib(HINSTANCE module, ITypeLib** library)
{
    if (!library)
        return E_POINTER;
    *library = nullptr;
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return HRESULT_FROM_WIN32(::GetLastError());
    return ::LoadTypeLib(path, library);
}

// *info: the type information of guid in the module's type library; for a dual interface the
// vtable half, whose Invoke calls through the vtable. Null on failure.
inline HRESULT AtlLoadTypeInfo(HINSTANCE module, REFGUID guid, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    CComPtr<ITypeLib> library;
    HRESULT hr = AtlLoadModuleTypeLib(module, &library);
    if (FAILED(hr))
        return hr;
    CComPtr<ITypeInfo> found;
    hr = library->GetTypeInfoOfGuid(guid, &found);
    if (FAILED(hr))
        return hr;
    TYPEATTR* attributes = nullptr;
    if (SUCCEEDED(found->GetTypeAttr(&attributes))) {
        const bool dual = attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL);
        found->ReleaseTypeAttr(attributes);
        HREFTYPE vtableHalf = 0;
        CComPtr<ITypeInfo> vtableInfo;
        if (dual && SUCCEEDED(found->GetRefTypeOfImplType(-1, &vtableHalf)) &&
            SUCCEEDED(found->GetRefTypeInfo(vtableHalf, &vtableInfo)))
            found = vtableInfo;
    }
    *info = found.Detach();
    return S_OK;
}
