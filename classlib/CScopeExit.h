#pragma once
// Runs a call when the scope ends, however it ends, unless dismissed first: for clean-up
// that no owner class fits.
#include <utility>

template <typename F>
class CScopeExit {
public:
    explicit CScopeExit(F f) : m_f(std::move(f)) {}
    CScopeExit(CScopeExit&& other) noexcept : m_f(std::move(other.m_f)), m_armed(other.m_armed) { other.m_armed = false; }
    CScopeExit(const CScopeExit&) = delete;
    CScopeExit& operator=(const CScopeExit&) = delete;
    CScopeExit& operator=(CScopeExit&&) = delete;
    ~CScopeExit()
    {
        if (m_armed)
            m_f();
    }
    void Dismiss() { m_armed = false; }

private:
    F m_f;
    bool m_armed = true;
};

// auto undo = MakeScopeExit([&] { ... });
template <typename F>
CScopeExit<F> MakeScopeExit(F f)
{
    return CScopeExit<F>(std::move(f));
}
