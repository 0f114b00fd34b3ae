#include "CSimpleHttpStrStream.h"

#include <new>

HRESULT STDMETHODCALLTYPE CSimpleHttpStrStream::Read(void*, ULONG, ULONG* read)
{
    if (read)
        *read = 0;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSimpleHttpStrStream::Write(const void* data, ULONG size, ULONG* written)
{
    if (written)
        *written = 0;
    if (size && !data)
        return STG_E_INVALIDPOINTER;
    if (size > m_limit - m_bytes.size())
        return STG_E_MEDIUMFULL;
    try {
        m_bytes.append(static_cast<const char*>(data), size);
    } catch (const std::exception&) {
        return E_OUTOFMEMORY;
    }
    if (written)
        *written = size;
    return S_OK;
}
