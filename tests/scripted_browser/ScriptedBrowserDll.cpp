// KavoScriptedBrowser.dll: the scripted browser as CLSID_WebBrowser's in-process server.
#include <windows.h>
#include <objbase.h>

#include "CScriptedClassFactory.h"
#include "ScriptedIids.h"
#include "WindowClasses.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // Unloaded by FreeLibrary (not at process end): a later load registers its classes afresh.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        scripted::UnregisterWindowClasses();
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != scripted::kClsidWebBrowser)
        return CLASS_E_CLASSNOTAVAILABLE;
    try {
        return scripted::CScriptedClassFactory::Instance().QueryInterface(iid, object);
    } catch (...) {
        return E_FAIL;
    }
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return scripted::CScriptedClassFactory::InUse() ? S_FALSE : S_OK;
}
