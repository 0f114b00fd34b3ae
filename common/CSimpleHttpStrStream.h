#pragma once
// An ISequentialStream that collects what is written into a growing byte string, up to a
// limit: answers from servers are bounded as local files are. It lives on its creator's
// stack, which alone ends it (Release never deletes), and it only takes writes.
#include <windows.h>
#include <objidl.h>

#include <string>

#include "CComObjectImpl.h"
#include "CStringT.h"

class CSimpleHttpStrStream : public CComObjectImpl<CSimpleHttpStrStream, CComOwnedLifetime, ISequentialStream> {
public:
    // What a server's answer may hold: as much as a definition file.
    static constexpr size_t kMaxAnswerSize = 0x400000;

    explicit CSimpleHttpStrStream(size_t limit = kMaxAnswerSize) : m_limit(limit) {}
    virtual ~CSimpleHttpStrStream() = default;
    CSimpleHttpStrStream(const CSimpleHttpStrStream&) = delete;
    CSimpleHttpStrStream& operator=(const CSimpleHttpStrStream&) = delete;

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override;
    // Appends all bytes; STG_E_MEDIUMFULL when they would pass the limit and E_OUTOFMEMORY
    // when the string cannot grow (nothing appended, *written 0, in both cases).
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override;

    // Every byte written, NUL bytes included.
    const std::string& GetBytes() const { return m_bytes; }
    // The body as text: it ends at the first NUL byte.
    CString GetText() const { return CString(m_bytes.c_str()); }
    void Empty() { m_bytes.clear(); }

private:
    std::string m_bytes;
    size_t m_limit;
};
