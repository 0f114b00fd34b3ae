#pragma once
// Owner of one kernel handle. Both NULL and INVALID_HANDLE_VALUE mean "none".
#include <windows.h>
#include <memory>

class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE h) : m_h(h) {}
    CHandle(CHandle&& other) noexcept : m_h(other.Detach()) {}
    CHandle& operator=(CHandle&& other) noexcept
    {
        if (this != std::addressof(other))
            Attach(other.Detach());
        return *this;
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    ~CHandle() { Close(); }

    explicit operator bool() const { return m_h && m_h != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return m_h; }
    HANDLE Get() const { return m_h; }

    // Closes what it held first, so an output parameter never leaks the old handle.
    HANDLE* operator&()
    {
        Close();
        return &m_h;
    }

    void Attach(HANDLE h)
    {
        Close();
        m_h = h;
    }
    HANDLE Detach()
    {
        HANDLE h = m_h;
        m_h = nullptr;
        return h;
    }
    void Close()
    {
        if (m_h && m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
        m_h = nullptr;
    }

private:
    HANDLE m_h = nullptr;
};
