#pragma once
// The counts an in-process server answers DllCanUnloadNow from: live objects and the locks of
// IClassFactory::LockServer. One per module that includes this (an inline function's static).
#include <windows.h>

class CComModule {
public:
    void ObjectCreated() { ::InterlockedIncrement(&m_objects); }
    void ObjectDestroyed() { ::InterlockedDecrement(&m_objects); }
    void Lock() { ::InterlockedIncrement(&m_locks); }
    void Unlock() { ::InterlockedDecrement(&m_locks); }
    LONG GetObjectCount() const { return m_objects; }
    LONG GetLockCount() const { return m_locks; }
    bool CanUnload() const { return m_objects == 0 && m_locks == 0; }

private:
    volatile LONG m_objects = 0;
    volatile LONG m_locks = 0;
};

inline CComModule& AtlComModule()
{
    static CComModule module;
    return module;
}

// Counts one live object of the module for as long as it exists; a member or base of each
// COM class the module hands out.
class CComModuleObject {
public:
    CComModuleObject() { AtlComModule().ObjectCreated(); }
    CComModuleObject(const CComModuleObject&) = delete;
    CComModuleObject& operator=(const CComModuleObject&) = delete;
    ~CComModuleObject() { AtlComModule().ObjectDestroyed(); }
};
