#include "CRegKey.h"

#include <vector>

LONG CRegKey::Create(HKEY parent, const char* name, REGSAM access)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        Attach(key);
        m_viewFlags = access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY);
    }
    return rc;
}

LONG CRegKey::Open(HKEY parent, const char* name, REGSAM access)
{
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(parent, name, 0, access, &key);
    if (rc == ERROR_SUCCESS) {
        Attach(key);
        m_viewFlags = access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY);
    }
    return rc;
}

LONG CRegKey::Close()
{
    LONG rc = ERROR_SUCCESS;
    if (m_hKey)
        rc = RegCloseKey(m_hKey);
    m_hKey = nullptr;
    m_viewFlags = 0;
    return rc;
}

void CRegKey::Attach(HKEY key)
{
    Close();
    m_hKey = key;
}

HKEY CRegKey::Detach()
{
    HKEY key = m_hKey;
    m_hKey = nullptr;
    m_viewFlags = 0;
    return key;
}

// Type and size first: Wine's ANSI query can write past a buffer that is too short.
LONG CRegKey::ProbeValue(const char* name, DWORD& type, DWORD& size)
{
    return RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size);
}

LONG CRegKey::QueryStringValue(const char* name, char* buffer, ULONG* chars)
{
    DWORD type = 0;
    DWORD capacity = *chars;
    DWORD size = 0;
    LONG rc = ProbeValue(name, type, size);
    *chars = size;
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    if (size > capacity)
        return ERROR_MORE_DATA;
    size = capacity;
    rc = RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    *chars = size;
    if (rc != ERROR_SUCCESS)
        return rc;
    // A stored value need not end in NUL; never hand out an unterminated text.
    if (size == 0 || buffer[size - 1] != '\0') {
        if (size >= capacity)
            return ERROR_MORE_DATA;
        buffer[size] = '\0';
        *chars = size + 1;
    }
    return ERROR_SUCCESS;
}

LONG CRegKey::QueryStringValue(const char* name, CString& value)
{
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = ProbeValue(name, type, size);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    std::vector<char> buffer(size + 1, '\0');
    rc = RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    buffer[size] = '\0';
    value = buffer.data();
    return ERROR_SUCCESS;
}

LONG CRegKey::QueryDWORDValue(const char* name, DWORD& value)
{
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = ProbeValue(name, type, size);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_DWORD || size != sizeof(DWORD))
        return ERROR_INVALID_DATA;
    DWORD data = 0;
    rc = RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    value = data;
    return ERROR_SUCCESS;
}

LONG CRegKey::SetStringValue(const char* name, const char* value, DWORD type)
{
    const char* text = value ? value : "";
    return RegSetValueExA(m_hKey, name, 0, type, reinterpret_cast<const BYTE*>(text), DWORD(lstrlenA(text) + 1));
}

LONG CRegKey::SetDWORDValue(const char* name, DWORD value)
{
    return RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG CRegKey::QueryBinaryValue(const char* name, CSimpleArray<BYTE>& data)
{
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = ProbeValue(name, type, size);
    if (rc != ERROR_SUCCESS)
        return rc;
    CSimpleArray<BYTE> bytes;
    for (DWORD i = 0; i < size; ++i)
        bytes.Add(0);
    rc = RegQueryValueExA(m_hKey, name, nullptr, &type, size ? &bytes[0] : nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    // The value may have shrunk since it was measured.
    while (DWORD(bytes.GetSize()) > size)
        bytes.RemoveAt(bytes.GetSize() - 1);
    data = bytes;
    return ERROR_SUCCESS;
}

LONG CRegKey::SetBinaryValue(const char* name, const void* data, ULONG size)
{
    return RegSetValueExA(m_hKey, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

LONG CRegKey::DeleteValue(const char* name)
{
    return RegDeleteValueA(m_hKey, name);
}

LONG CRegKey::DeleteSubKey(const char* name)
{
    return RegDeleteKeyExA(m_hKey, name, m_viewFlags, 0);
}

LONG CRegKey::RecurseDeleteKey(const char* name)
{
    CRegKey child;
    LONG rc = child.Open(m_hKey, name, KEY_READ | KEY_WRITE | m_viewFlags);
    if (rc != ERROR_SUCCESS)
        return rc;
    char subName[256];
    for (;;) {
        DWORD length = sizeof subName;
        if (child.EnumKey(0, subName, &length) != ERROR_SUCCESS)
            break;
        rc = child.RecurseDeleteKey(subName);
        if (rc != ERROR_SUCCESS)
            return rc;
    }
    child.Close();
    return DeleteSubKey(name);
}

LONG CRegKey::EnumKey(DWORD index, char* name, DWORD* nameLength)
{
    return RegEnumKeyExA(m_hKey, index, name, nameLength, nullptr, nullptr, nullptr, nullptr);
}
