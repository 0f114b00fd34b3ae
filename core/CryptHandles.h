#pragma once
// Owners of the CryptoAPI handles: each gives its handle back once and forgets it.
#include <windows.h>
#include <wincrypt.h>

class CryptProvHandle {
public:
    CryptProvHandle() = default;
    CryptProvHandle(const CryptProvHandle&) = delete;
    CryptProvHandle& operator=(const CryptProvHandle&) = delete;
    ~CryptProvHandle() { Release(); }

    void Release()
    {
        if (m_handle)
            ::CryptReleaseContext(m_handle, 0);
        m_handle = 0;
    }
    HCRYPTPROV get() const { return m_handle; }
    HCRYPTPROV* operator&()
    {
        Release();
        return &m_handle;
    }

private:
    HCRYPTPROV m_handle = 0;
};

class CryptHashHandle {
public:
    CryptHashHandle() = default;
    CryptHashHandle(const CryptHashHandle&) = delete;
    CryptHashHandle& operator=(const CryptHashHandle&) = delete;
    ~CryptHashHandle() { Destroy(); }

    void Destroy()
    {
        if (m_handle)
            ::CryptDestroyHash(m_handle);
        m_handle = 0;
    }
    HCRYPTHASH get() const { return m_handle; }
    HCRYPTHASH* operator&()
    {
        Destroy();
        return &m_handle;
    }

private:
    HCRYPTHASH m_handle = 0;
};

class CryptKeyHandle {
public:
    CryptKeyHandle() = default;
    CryptKeyHandle(const CryptKeyHandle&) = delete;
    CryptKeyHandle& operator=(const CryptKeyHandle&) = delete;
    ~CryptKeyHandle() { Destroy(); }

    void Destroy()
    {
        if (m_handle)
            ::CryptDestroyKey(m_handle);
        m_handle = 0;
    }
    HCRYPTKEY get() const { return m_handle; }
    HCRYPTKEY* operator&()
    {
        Destroy();
        return &m_handle;
    }

private:
    HCRYPTKEY m_handle = 0;
};
