#pragma once
// Test side of the fake product object: loads KavoFakeProduct.dll from the test folder and
// registers its class for this process only, so parallel test processes never meet.
#include <windows.h>
#include <ole2.h>

#include <string>

#include "FakeProduct.h"
#include "InstalledProduct.h"
#include "KavoTestPaths.h"

class FakeProductHost {
public:
    FakeProductHost()
    {
        m_module = LoadLibraryA((TestBinFolder() + "\\KavoFakeProduct.dll").c_str());
        if (!m_module)
            return;
        m_configure = reinterpret_cast<FakeProductConfigureFn>(
            reinterpret_cast<void*>(GetProcAddress(m_module, "FakeProductConfigure")));
        m_liveObjects = reinterpret_cast<FakeProductLiveObjectsFn>(
            reinterpret_cast<void*>(GetProcAddress(m_module, "FakeProductLiveObjects")));
        using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        auto getClassObject =
            reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(m_module, "DllGetClassObject")));
        IUnknown* factory = nullptr;
        if (!getClassObject || FAILED(getClassObject(CLSID_KavoInstalledProduct, IID_IUnknown, reinterpret_cast<void**>(&factory))))
            return;
        if (FAILED(CoRegisterClassObject(CLSID_KavoInstalledProduct, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie)))
            m_cookie = 0;
        factory->Release();
    }
    ~FakeProductHost()
    {
        if (m_cookie)
            CoRevokeClassObject(m_cookie);
        if (m_configure)
            m_configure(nullptr, nullptr, S_OK, S_OK, S_OK);
        if (m_module)
            FreeLibrary(m_module);
    }
    FakeProductHost(const FakeProductHost&) = delete;
    FakeProductHost& operator=(const FakeProductHost&) = delete;

    bool IsRegistered() const { return m_cookie != 0 && m_configure && m_liveObjects; }
    void Configure(const wchar_t* productId, const wchar_t* version, HRESULT createResult = S_OK,
                   HRESULT productIdResult = S_OK, HRESULT versionResult = S_OK)
    {
        m_configure(productId, version, createResult, productIdResult, versionResult);
    }
    LONG LiveObjects() const { return m_liveObjects(); }

private:
    HMODULE m_module = nullptr;
    FakeProductConfigureFn m_configure = nullptr;
    FakeProductLiveObjectsFn m_liveObjects = nullptr;
    DWORD m_cookie = 0;
};
