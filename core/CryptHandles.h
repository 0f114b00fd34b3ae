#pragma once
// Owners of the CryptoAPI handles: each gives its handle back once and forgets it.
#include <windows.h>
#include <wincrypt.h>

#include "CHandleT.h"

inline BOOL WINAPI ReleaseCryptContext(HCRYPTPROV provider)
{
    return ::CryptReleaseContext(provider, 0);
}

using CryptProvHandle = CHandleT<HCRYPTPROV, &ReleaseCryptContext>;
using CryptHashHandle = CHandleT<HCRYPTHASH, &::CryptDestroyHash>;
using CryptKeyHandle = CHandleT<HCRYPTKEY, &::CryptDestroyKey>;
