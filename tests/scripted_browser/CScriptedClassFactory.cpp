#include "CScriptedClassFactory.h"

#include "CScriptedBrowser.h"
#include "LiveObject.h"

namespace scripted {

namespace {
volatile LONG g_locks = 0;
}

CScriptedClassFactory& CScriptedClassFactory::Instance()
{
    static CScriptedClassFactory factory;
    return factory;
}

bool CScriptedClassFactory::InUse()
{
    return LiveObject::Count() > 0 || ::InterlockedCompareExchange(&g_locks, 0, 0) > 0;
}

HRESULT CScriptedClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    try {
        return CScriptedBrowser::Create(iid, object);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CScriptedClassFactory::LockServer(BOOL lock)
{
    if (lock)
        ::InterlockedIncrement(&g_locks);
    else
        ::InterlockedDecrement(&g_locks);
    return S_OK;
}

}  // namespace scripted
