#pragma once
// Failures inside a component travel as thrown HRESULTs; every window procedure, COM
// method, thread procedure and export catches them at its edge.
#include <windows.h>

class CAtlException {
public:
    explicit CAtlException(HRESULT hr = E_FAIL) : m_hr(hr) {}
    operator HRESULT() const { return m_hr; }

    HRESULT m_hr;
};

[[noreturn]] inline void AtlThrow(HRESULT hr)
{
    throw CAtlException(hr);
}

[[noreturn]] inline void AtlThrowLastWin32()
{
    DWORD error = GetLastError();
    AtlThrow(error ? HRESULT_FROM_WIN32(error) : E_FAIL);
}
