// The library's entry points: the four exports of an in-process server.
#include <windows.h>
#include <comcat.h>
#include <objbase.h>
#include <oleauto.h>

#include <cwchar>

#include "AxPevlinResource.h"
#include "CAxPevlinApp.h"
#include "CComModule.h"
#include "CComPtr.h"
#include "CRegistryScript.h"
#include "Cpevlin.h"

namespace {

const CATID kCatidSafeForScripting = {0x7dd95801, 0x9882, 0x11cf, {0x9f, 0xa9, 0x00, 0xaa, 0x00, 0x6c, 0x42, 0xc4}};
const CATID kCatidSafeForInitializing = {0x7dd95802, 0x9882, 0x11cf, {0x9f, 0xa9, 0x00, 0xaa, 0x00, 0x6c, 0x42, 0xc4}};

// Registers the category (English description) and marks the control as implementing it.
HRESULT RegisterCategory(ICatRegister* categories, const CATID& id, const wchar_t* description)
{
    CATEGORYINFO info = {};
    info.catid = id;
    info.lcid = 0x409;
    // The manager keeps at most 127 characters.
    std::wcsncpy(info.szDescription, description, 127);
    info.szDescription[127] = L'\0';
    HRESULT hr = categories->RegisterCategories(1, &info);
    if (FAILED(hr))
        return hr;
    CATID implemented = id;
    return categories->RegisterClassImplCategories(kClsidPevlin, 1, &implemented);
}

HRESULT TypeLibPath(wchar_t* path)
{
    const DWORD length = ::GetModuleFileNameW(theApp.Module(), path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? E_FAIL : S_OK;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(module);
        return theApp.InitInstance(module);
    }
    if (reason == DLL_PROCESS_DETACH)
        theApp.ExitInstance();
    return TRUE;
}

STDAPI DllCanUnloadNow()
{
    return AtlComModule().CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != kClsidPevlin)
        return CLASS_E_CLASSNOTAVAILABLE;
    return PevlinClassFactory()->QueryInterface(iid, object);
}

// Every step runs; the first failure is the answer, so an installer sees a control that a
// page could not create or script.
STDAPI DllRegisterServer()
{
    char modulePath[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(theApp.Module(), modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return E_FAIL;
    CRegistryScript script;
    HRESULT result = script.Load(theApp.Module(), IDR_PEVLIN_REGISTRY) ? script.Apply(HKEY_CLASSES_ROOT, modulePath)
                                                                      : HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    wchar_t path[MAX_PATH];
    HRESULT hr = TypeLibPath(path);
    CComPtr<ITypeLib> library;
    if (SUCCEEDED(hr))
        hr = ::LoadTypeLib(path, &library);
    if (SUCCEEDED(hr))
        hr = ::RegisterTypeLib(library, path, nullptr);
    if (SUCCEEDED(result))
        result = hr;

    CComPtr<ICatRegister> categories;
    hr = ::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                            reinterpret_cast<void**>(&categories));
    if (SUCCEEDED(hr)) {
        hr = RegisterCategory(categories, kCatidSafeForScripting, L"Controls that are safely scriptable");
        const HRESULT initializing =
            RegisterCategory(categories, kCatidSafeForInitializing, L"Controls safely initializable from persistent data");
        if (SUCCEEDED(hr))
            hr = initializing;
    }
    if (SUCCEEDED(result))
        result = hr;
    return result;
}

// Removes the ProgIDs and the whole CLSID key (its category marks with it) and the type
// library; the categories themselves are shared with other controls and stay.
STDAPI DllUnregisterServer()
{
    CRegistryScript script;
    HRESULT result = script.Load(theApp.Module(), IDR_PEVLIN_REGISTRY) ? script.Remove(HKEY_CLASSES_ROOT)
                                                                      : HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    const HRESULT hr = ::UnRegisterTypeLib(kLibidAxPevlin, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);
    if (SUCCEEDED(result) && FAILED(hr) && hr != TYPE_E_REGISTRYACCESS)
        result = hr;
    return result;
}
