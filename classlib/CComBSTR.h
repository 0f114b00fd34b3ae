#pragma once
// Owner of one BSTR (SysAllocString family). Copies duplicate the text.
#include <windows.h>
#include <memory>
#include <oleauto.h>

#include "CAtlException.h"
#include "TextCodePage.h"

class CComBSTR {
public:
    CComBSTR() = default;
    CComBSTR(const wchar_t* text) : m_str(Alloc(text)) {}
    // From code page 932 bytes, as the rest of the program holds its texts.
    CComBSTR(const char* text)
    {
        if (!text)
            return;
        int chars = MultiByteToWideChar(kTextCodePage, 0, text, -1, nullptr, 0);
        if (chars <= 0)
            return;
        m_str = SysAllocStringLen(nullptr, UINT(chars - 1));
        if (!m_str)
            AtlThrow(E_OUTOFMEMORY);
        MultiByteToWideChar(kTextCodePage, 0, text, -1, m_str, chars);
    }
    CComBSTR(const CComBSTR& other) : m_str(other.Copy()) {}
    CComBSTR(CComBSTR&& other) noexcept : m_str(other.Detach()) {}
    CComBSTR& operator=(const CComBSTR& other)
    {
        if (this != std::addressof(other))
            Attach(other.Copy());
        return *this;
    }
    CComBSTR& operator=(CComBSTR&& other) noexcept
    {
        if (this != std::addressof(other))
            Attach(other.Detach());
        return *this;
    }
    CComBSTR& operator=(const wchar_t* text)
    {
        Attach(Alloc(text));
        return *this;
    }
    ~CComBSTR() { Empty(); }

    operator BSTR() const { return m_str; }
    // Frees what it held first, so an output parameter never leaks the old text.
    BSTR* operator&()
    {
        Empty();
        return &m_str;
    }
    bool operator!() const { return m_str == nullptr; }
    unsigned int Length() const { return SysStringLen(m_str); }

    BSTR Copy() const
    {
        if (!m_str)
            return nullptr;
        BSTR copy = SysAllocStringByteLen(reinterpret_cast<const char*>(m_str), SysStringByteLen(m_str));
        if (!copy)
            AtlThrow(E_OUTOFMEMORY);
        return copy;
    }
    HRESULT CopyTo(BSTR* out) const
    {
        if (!out)
            return E_POINTER;
        *out = m_str ? SysAllocStringByteLen(reinterpret_cast<const char*>(m_str), SysStringByteLen(m_str)) : nullptr;
        return (m_str && !*out) ? E_OUTOFMEMORY : S_OK;
    }
    void Attach(BSTR text)
    {
        if (text != m_str) {
            Empty();
            m_str = text;
        }
    }
    BSTR Detach()
    {
        BSTR text = m_str;
        m_str = nullptr;
        return text;
    }
    void Empty()
    {
        SysFreeString(m_str);
        m_str = nullptr;
    }
    HRESULT Append(const wchar_t* text)
    {
        if (!text || !*text)
            return S_OK;
        UINT old = Length();
        UINT add = UINT(lstrlenW(text));
        BSTR grown = SysAllocStringLen(nullptr, old + add);
        if (!grown)
            return E_OUTOFMEMORY;
        if (old)
            CopyMemory(grown, m_str, old * sizeof(wchar_t));
        CopyMemory(grown + old, text, add * sizeof(wchar_t));
        Attach(grown);
        return S_OK;
    }

    BSTR m_str = nullptr;

private:
    static BSTR Alloc(const wchar_t* text)
    {
        if (!text)
            return nullptr;
        BSTR copy = SysAllocString(text);
        if (!copy)
            AtlThrow(E_OUTOFMEMORY);
        return copy;
    }
};
