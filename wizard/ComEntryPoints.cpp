#include <windows.h>

#include <objbase.h>

// The library carries the COM entry points but serves no class.

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID, REFIID, void** object)
{
    if (object)
        *object = nullptr;
    return E_NOTIMPL;
}

extern "C" HRESULT __stdcall DllRegisterServer()
{
    return E_NOTIMPL;
}

extern "C" HRESULT __stdcall DllUnregisterServer()
{
    return E_NOTIMPL;
}

extern "C" HRESULT __stdcall DllCanUnloadNow()
{
    // No object of the library is ever handed out, so nothing holds it loaded.
    return S_OK;
}
