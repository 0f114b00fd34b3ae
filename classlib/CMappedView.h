#pragma once
// Owner of one mapped view of a file mapping.
#include <windows.h>

class CMappedView {
public:
    CMappedView() = default;
    explicit CMappedView(void* view) : m_view(view) {}
    CMappedView(const CMappedView&) = delete;
    CMappedView& operator=(const CMappedView&) = delete;
    ~CMappedView() { Unmap(); }

    void* Get() const { return m_view; }
    explicit operator bool() const { return m_view != nullptr; }

    void Attach(void* view)
    {
        Unmap();
        m_view = view;
    }
    void* Detach()
    {
        void* view = m_view;
        m_view = nullptr;
        return view;
    }
    void Unmap()
    {
        if (m_view)
            UnmapViewOfFile(m_view);
        m_view = nullptr;
    }

private:
    void* m_view = nullptr;
};
