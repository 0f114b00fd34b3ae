#pragma once
// The class object of the scripted browser: one per module, never freed.
#include <windows.h>
#include <unknwn.h>

#include "CComObjectImpl.h"

namespace scripted {

class CScriptedClassFactory final
    : public CComObjectImpl<CScriptedClassFactory, CComOwnedLifetime, IClassFactory> {
public:
    static CScriptedClassFactory& Instance();
    // Browsers alive or the server locked: the DLL must stay loaded.
    static bool InUse();

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    CScriptedClassFactory() = default;
};

}  // namespace scripted
