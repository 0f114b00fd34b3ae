#pragma once
// The calling thread's COM or OLE initialisation for one scope. It is undone only when it
// succeeded (S_FALSE too: the thread was already initialised and the count still went up);
// a failure such as RPC_E_CHANGED_MODE belongs to someone else and is left alone.
#include <windows.h>
#include <objbase.h>
#include <ole2.h>

class CScopedCoInit {
public:
    explicit CScopedCoInit(DWORD model = COINIT_APARTMENTTHREADED) : m_hr(::CoInitializeEx(nullptr, model)) {}
    CScopedCoInit(const CScopedCoInit&) = delete;
    CScopedCoInit& operator=(const CScopedCoInit&) = delete;
    ~CScopedCoInit()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    HRESULT Result() const { return m_hr; }
    bool Succeeded() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

class CScopedOleInit {
public:
    CScopedOleInit() : m_hr(::OleInitialize(nullptr)) {}
    CScopedOleInit(const CScopedOleInit&) = delete;
    CScopedOleInit& operator=(const CScopedOleInit&) = delete;
    ~CScopedOleInit()
    {
        if (SUCCEEDED(m_hr))
            ::OleUninitialize();
    }
    HRESULT Result() const { return m_hr; }
    bool Succeeded() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};
