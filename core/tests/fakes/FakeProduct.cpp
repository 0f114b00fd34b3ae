// A stand-in for the installed product's in-process COM object.
#include <windows.h>
#include <ole2.h>

#include <new>
#include <string>

#include "FakeEnv.h"
#include "InstalledProduct.h"

namespace {

LONG g_liveProducts = 0;
LONG g_locks = 0;
CRITICAL_SECTION g_lock;

struct Settings {
    std::wstring productId;
    std::wstring version;
    HRESULT createResult = S_OK;
    HRESULT productIdResult = S_OK;
    HRESULT versionResult = S_OK;
};
Settings g_settings;

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], int(wide.size()));
    wide.resize(length > 0 ? size_t(length) : 0);
    return wide;
}

// The version a fake setup wrote (KAVO_FAKE_PRODUCT_VERSION_FILE), read at every call: the
// product a setup upgrades while the wizard runs answers with its new version at once.
std::wstring InstalledVersion()
{
    const std::string path = EnvText("KAVO_FAKE_PRODUCT_VERSION_FILE");
    if (path.empty())
        return std::wstring();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::wstring();
    char buffer[64] = {};
    DWORD read = 0;
    const BOOL ok = ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(file);
    std::string text(buffer, ok ? read : 0);
    text.erase(text.find_last_not_of(" \r\n") + 1);
    return Wide(text);
}

Settings Current()
{
    EnterCriticalSection(&g_lock);
    Settings copy = g_settings;
    LeaveCriticalSection(&g_lock);
    return copy;
}

HRESULT AnswerText(HRESULT result, const std::wstring& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (FAILED(result))
        return result;
    *out = SysAllocStringLen(text.data(), UINT(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

class FakeProduct : public IKavoInstalledProduct {
public:
    FakeProduct() { InterlockedIncrement(&g_liveProducts); }
    virtual ~FakeProduct() { InterlockedDecrement(&g_liveProducts); }
    FakeProduct(const FakeProduct&) = delete;
    FakeProduct& operator=(const FakeProduct&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IKavoInstalledProduct)) {
            *object = static_cast<IKavoInstalledProduct*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return ULONG(refs);
    }
    STDMETHODIMP Reserved() override { return S_OK; }
    STDMETHODIMP GetProductId(BSTR* productId) override
    {
        const Settings settings = Current();
        return AnswerText(settings.productIdResult, settings.productId, productId);
    }
    STDMETHODIMP GetProductVersion(BSTR* version) override
    {
        const Settings settings = Current();
        const std::wstring installed = InstalledVersion();
        return AnswerText(settings.versionResult, installed.empty() ? settings.version : installed, version);
    }

private:
    LONG m_refs = 1;
};

class FakeFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory: its lifetime is the module's, counted as a lock.
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&g_locks)); }
    STDMETHODIMP_(ULONG) Release() override { return ULONG(InterlockedDecrement(&g_locks)); }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        const Settings settings = Current();
        if (FAILED(settings.createResult))
            return settings.createResult;
        FakeProduct* product = new (std::nothrow) FakeProduct;
        if (!product)
            return E_OUTOFMEMORY;
        const HRESULT hr = product->QueryInterface(riid, object);
        product->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

FakeFactory g_factory;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        InitializeCriticalSection(&g_lock);
        g_settings.productId = Wide(EnvText("KAVO_FAKE_PRODUCT_ID", "KAVO-TEST-PRODUCT"));
        g_settings.version = Wide(EnvText("KAVO_FAKE_PRODUCT_VERSION", "17.0.1234"));
    } else if (reason == DLL_PROCESS_DETACH) {
        DeleteCriticalSection(&g_lock);
    }
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_KavoInstalledProduct))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, object);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return g_liveProducts == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

__declspec(dllexport) void __cdecl FakeProductConfigure(const wchar_t* productId, const wchar_t* version, HRESULT createResult,
                                                        HRESULT productIdResult, HRESULT versionResult)
{
    EnterCriticalSection(&g_lock);
    if (productId)
        g_settings.productId = productId;
    if (version)
        g_settings.version = version;
    g_settings.createResult = createResult;
    g_settings.productIdResult = productIdResult;
    g_settings.versionResult = versionResult;
    LeaveCriticalSection(&g_lock);
}

__declspec(dllexport) LONG __cdecl FakeProductLiveObjects()
{
    return g_liveProducts;
}

}  // extern "C"
