#pragma once
// Owners of GDI objects and device contexts: deleted or released exactly once.
#include <windows.h>

#include "CHandleT.h"

template <typename Handle>
using CGdiObjectT = CHandleT<Handle, &::DeleteObject>;

class CBitmap : public CGdiObjectT<HBITMAP> {
public:
    using CHandleT::CHandleT;
    bool LoadBitmap(HINSTANCE module, UINT id)
    {
        Attach(static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        return bool(*this);
    }
    SIZE GetSize() const
    {
        BITMAP info = {};
        if (Get())
            ::GetObjectA(Get(), sizeof info, &info);
        return SIZE{info.bmWidth, info.bmHeight};
    }
};

using CBrush = CGdiObjectT<HBRUSH>;
using CPen = CGdiObjectT<HPEN>;
using CFont = CGdiObjectT<HFONT>;

// A memory DC that puts back what was selected into it before it is deleted.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatible) : m_hDC(::CreateCompatibleDC(compatible)) {}
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    ~CMemoryDC()
    {
        if (m_hDC && m_old)
            ::SelectObject(m_hDC, m_old);
    }
    operator HDC() const { return m_hDC; }
    // False when no DC could be made.
    explicit operator bool() const { return bool(m_hDC); }
    // Only the first selection's previous object is remembered: that is what must go back.
    void Select(HGDIOBJ object)
    {
        HGDIOBJ previous = ::SelectObject(m_hDC, object);
        if (!m_old)
            m_old = previous;
    }

private:
    CHandleT<HDC, &::DeleteDC> m_hDC;
    HGDIOBJ m_old = nullptr;
};

class CPaintDC {
public:
    explicit CPaintDC(HWND window) : m_window(window) { m_hDC = ::BeginPaint(window, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { ::EndPaint(m_window, &m_ps); }
    operator HDC() const { return m_hDC; }

    PAINTSTRUCT m_ps;

private:
    HWND m_window;
    HDC m_hDC;
};

class CClientDC {
public:
    explicit CClientDC(HWND window) : m_window(window), m_hDC(::GetDC(window)) {}
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    ~CClientDC()
    {
        if (m_hDC)
            ::ReleaseDC(m_window, m_hDC);
    }
    operator HDC() const { return m_hDC; }

private:
    HWND m_window;
    HDC m_hDC;
};
