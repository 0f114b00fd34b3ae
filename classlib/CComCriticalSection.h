#pragma once
// Critical sections: the explicit-lifetime one for members of shared structures and the
// self-initialising one, plus a scoped lock.
#include <windows.h>

class CComCriticalSection {
public:
    CComCriticalSection() = default;
    CComCriticalSection(const CComCriticalSection&) = delete;
    CComCriticalSection& operator=(const CComCriticalSection&) = delete;

    HRESULT Init()
    {
        InitializeCriticalSection(&m_sec);
        return S_OK;
    }
    void Term() { DeleteCriticalSection(&m_sec); }
    void Lock() { EnterCriticalSection(&m_sec); }
    void Unlock() { LeaveCriticalSection(&m_sec); }

    CRITICAL_SECTION m_sec;
};

class CComAutoCriticalSection : public CComCriticalSection {
public:
    CComAutoCriticalSection() { Init(); }
    ~CComAutoCriticalSection() { Term(); }
};

template <typename T>
class CComCritSecLock {
public:
    explicit CComCritSecLock(T& section) : m_section(section) { m_section.Lock(); }
    ~CComCritSecLock() { m_section.Unlock(); }
    CComCritSecLock(const CComCritSecLock&) = delete;
    CComCritSecLock& operator=(const CComCritSecLock&) = delete;

private:
    T& m_section;
};
