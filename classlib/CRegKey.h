#pragma once
// Owner of one open registry key (ANSI functions; the view flags KEY_WOW64_64KEY and
// KEY_WOW64_32KEY pass through the access mask).
#include <windows.h>

#include "CSimpleArray.h"
#include "CStringT.h"

class CRegKey {
public:
    CRegKey() = default;
    CRegKey(CRegKey&& other) noexcept : m_hKey(other.Detach()) {}
    CRegKey& operator=(CRegKey&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    ~CRegKey() { Close(); }

    operator HKEY() const { return m_hKey; }

    LONG Create(HKEY parent, const char* name, REGSAM access = KEY_READ | KEY_WRITE);
    LONG Open(HKEY parent, const char* name, REGSAM access = KEY_READ | KEY_WRITE);
    LONG Close();
    void Attach(HKEY key);
    HKEY Detach();

    // chars: in, the buffer's size in bytes; out, the bytes stored including the NUL.
    LONG QueryStringValue(const char* name, char* buffer, ULONG* chars);
    LONG QueryStringValue(const char* name, CString& value);
    LONG QueryDWORDValue(const char* name, DWORD& value);
    LONG SetStringValue(const char* name, const char* value, DWORD type = REG_SZ);
    LONG SetDWORDValue(const char* name, DWORD value);
    // The value's bytes, whatever its type; a missing value is ERROR_FILE_NOT_FOUND.
    LONG QueryBinaryValue(const char* name, CSimpleArray<BYTE>& data);
    LONG SetBinaryValue(const char* name, const void* data, ULONG size);
    LONG DeleteValue(const char* name);
    LONG DeleteSubKey(const char* name);
    LONG RecurseDeleteKey(const char* name);
    LONG EnumKey(DWORD index, char* name, DWORD* nameLength);

private:
    LONG ProbeValue(const char* name, DWORD& type, DWORD& size);

    HKEY m_hKey = nullptr;
    REGSAM m_viewFlags = 0;
};
