#pragma once
// The class object of the scripted browser: one per module, never freed.
#include <windows.h>
#include <unknwn.h>

namespace scripted {

class CScriptedClassFactory final : public IClassFactory {
public:
    static CScriptedClassFactory& Instance();
    // Browsers alive or the server locked: the DLL must stay loaded.
    static bool InUse();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    CScriptedClassFactory() = default;
};

}  // namespace scripted
