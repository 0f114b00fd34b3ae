#pragma once
// An ISequentialStream that collects what is written into a growing byte string. It lives on
// its creator's stack, which alone ends it (Release never deletes), and it only takes writes.
#include <windows.h>
#include <objidl.h>

#include <string>

#include "CComObjectImpl.h"
#include "CStringT.h"

class CSimpleHttpStrStream : public CComObjectImpl<CSimpleHttpStrStream, CComOwnedLifetime, ISequentialStream> {
public:
    CSimpleHttpStrStream() = default;
    virtual ~CSimpleHttpStrStream() = default;
    CSimpleHttpStrStream(const CSimpleHttpStrStream&) = delete;
    CSimpleHttpStrStream& operator=(const CSimpleHttpStrStream&) = delete;

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override;
    // Appends all bytes; E_OUTOFMEMORY (nothing appended) when the string cannot grow.
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override;

    // Every byte written, NUL bytes included.
    const std::string& GetBytes() const { return m_bytes; }
    // The body as text: it ends at the first NUL byte.
    CString GetText() const { return CString(m_bytes.c_str()); }
    void Empty() { m_bytes.clear(); }

private:
    std::string m_bytes;
};
