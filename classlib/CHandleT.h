#pragma once
// One owner for every kind of handle: a template over the call that gives the handle back
// and the value that means "none". Movable, not copyable; each kind is one line below or
// beside the API it belongs to.
#include <windows.h>
#include <memory>

// Handles for which only null means "none" (GDI objects, views, registry keys, crypt handles).
template <typename H>
struct CNullHandle {
    static H None() { return H(); }
    static bool IsNone(H h) { return h == H(); }
};

// Kernel handles: CreateFile answers INVALID_HANDLE_VALUE, most others null; both are "none".
struct CKernelHandle {
    static HANDLE None() { return nullptr; }
    static bool IsNone(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
};

template <typename H, auto CloseFn, typename Empty = CNullHandle<H>>
class CHandleT {
public:
    using Handle = H;

    CHandleT() = default;
    explicit CHandleT(H h) : m_h(h) {}
    CHandleT(CHandleT&& other) noexcept : m_h(other.Detach()) {}
    CHandleT& operator=(CHandleT&& other) noexcept
    {
        if (this != std::addressof(other))
            Attach(other.Detach());
        return *this;
    }
    CHandleT(const CHandleT&) = delete;
    CHandleT& operator=(const CHandleT&) = delete;
    ~CHandleT() { Close(); }

    explicit operator bool() const { return !Empty::IsNone(m_h); }
    operator H() const { return m_h; }
    H Get() const { return m_h; }

    // Closes what it held first, so an output parameter never leaks the old handle.
    H* operator&()
    {
        Close();
        return &m_h;
    }

    void Attach(H h)
    {
        Close();
        m_h = h;
    }
    H Detach()
    {
        H h = m_h;
        m_h = Empty::None();
        return h;
    }
    void Close()
    {
        if (!Empty::IsNone(m_h))
            CloseFn(m_h);
        m_h = Empty::None();
    }

private:
    H m_h = Empty::None();
};
