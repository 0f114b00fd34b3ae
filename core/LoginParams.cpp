#include "LoginParams.h"

#include <cstring>

#include "CRegKey.h"
#include "CTextDef.h"
#include "CryptHandles.h"

namespace {

const char kValueName[] = "LoginParams";
const char kPassPhrase[] = "PEB_HURDOLAX";

LONG WriteValue(HKEY key, const char* name, const BYTE* data, DWORD size)
{
    return RegSetValueExA(key, name, 0, REG_BINARY, data, size);
}

LoginValueWriter& CurrentWriter()
{
    static LoginValueWriter writer = &WriteValue;
    return writer;
}

// The provider (kept open) and the RC4 key derived from the pass phrase.
bool SetUpKey(CryptProvHandle& provider, CryptKeyHandle& key)
{
    if (!::CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, 0)) {
        // A user's first use has no default key container yet.
        if (::GetLastError() == 0 ||
            !::CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_NEWKEYSET))
            return false;
    }
    CryptHashHandle hash;
    if (!::CryptCreateHash(provider.Get(), CALG_SHA1, 0, 0, &hash) ||
        !::CryptHashData(hash.Get(), reinterpret_cast<const BYTE*>(kPassPhrase), DWORD(std::strlen(kPassPhrase)),
                         0) ||
        !::CryptDeriveKey(provider.Get(), CALG_RC4, hash.Get(), CRYPT_EXPORTABLE, &key))
        return false;
    return true;
}

// The next run of characters other than CR and LF, skipping any before it.
bool NextToken(const char*& text, CString& token)
{
    while (*text == '\r' || *text == '\n')
        ++text;
    if (!*text)
        return false;
    const char* start = text;
    while (*text && *text != '\r' && *text != '\n')
        ++text;
    token = CString(start, int(text - start));
    return true;
}

}  // namespace

BOOL SaveLoginParams(const char* customerId, const char* accessKey)
{
    CryptProvHandle provider;
    CryptKeyHandle key;
    if (!SetUpKey(provider, key))
        return FALSE;
    CString plain;
    plain.Format("%s\r\n%s", customerId ? customerId : "", accessKey ? accessKey : "");
    // The terminating NUL is enciphered and stored with the text.
    const DWORD length = DWORD(plain.GetLength()) + 1;
    CSimpleArray<BYTE> buffer;
    for (DWORD i = 0; i < length; ++i)
        buffer.Add(BYTE(plain.GetString()[i]));
    DWORD size = length;
    if (!::CryptEncrypt(key.Get(), 0, TRUE, 0, &buffer[0], &size, length))
        return FALSE;
    CRegKey registry;
    if (registry.Create(CTextDef::GetRegRoot("COMMON_REG_HKCU_KAVO"), CTextDef::GetRegPath("COMMON_REG_HKCU_KAVO")) !=
        ERROR_SUCCESS)
        return FALSE;
    // A refused write loses the sign-in data: it must not be reported as saved.
    return CurrentWriter()(registry, kValueName, &buffer[0], size) == ERROR_SUCCESS;
}

BOOL LoadLoginParams(CString& customerId, CString& accessKey)
{
    CRegKey registry;
    if (registry.Open(CTextDef::GetRegRoot("COMMON_REG_HKCU_KAVO"), CTextDef::GetRegPath("COMMON_REG_HKCU_KAVO")) !=
        ERROR_SUCCESS)
        return FALSE;
    CSimpleArray<BYTE> stored;
    registry.QueryBinaryValue(kValueName, stored);
    CryptProvHandle provider;
    CryptKeyHandle key;
    if (!SetUpKey(provider, key))
        return FALSE;
    DWORD size = DWORD(stored.GetSize());
    // One zero byte more than was read, so the text always ends.
    stored.Add(0);
    if (size == 0 || !::CryptDecrypt(key.Get(), 0, TRUE, 0, &stored[0], &size))
        return TRUE;
    const char* cursor = reinterpret_cast<const char*>(&stored[0]);
    CString first;
    if (!NextToken(cursor, first))
        return TRUE;
    customerId = first;
    CString second;
    if (NextToken(cursor, second))
        accessKey = second;
    return TRUE;
}

LoginValueWriter SetLoginValueWriter(LoginValueWriter writer)
{
    const LoginValueWriter previous = CurrentWriter();
    CurrentWriter() = writer ? writer : &WriteValue;
    return previous;
}

void DeleteLoginParams()
{
    CRegKey registry;
    if (registry.Open(CTextDef::GetRegRoot("COMMON_REG_HKCU_KAVO"), CTextDef::GetRegPath("COMMON_REG_HKCU_KAVO")) ==
        ERROR_SUCCESS)
        registry.DeleteValue(kValueName);
}
