#include "DnsClientSetting.h"

#include "CRegKey.h"

namespace {

constexpr const char kDnsClientKey[] = "system\\currentcontrolset\\services\\dnscache\\parameters";

}  // namespace

bool HasAddrConfigControl()
{
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kDnsClientKey, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return false;
    CSimpleArray<BYTE> data;
    return key.QueryBinaryValue("AddrConfigControl", data) == ERROR_SUCCESS;
}

bool SetAddrConfigControl()
{
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kDnsClientKey, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return false;
    return key.SetDWORDValue("AddrConfigControl", 0) == ERROR_SUCCESS;
}
