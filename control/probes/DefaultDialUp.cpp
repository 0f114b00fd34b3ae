#include "DefaultDialUp.h"

#include <windows.h>
#include <ras.h>

#include <cstddef>

#include "BoundedText.h"
#include "PevlinSettings.h"

namespace {

// The entry is written in the layout that Windows XP introduced, which later systems read too.
constexpr DWORD kXpEntrySize = offsetof(RASENTRYA, dwRedialPause) + sizeof(DWORD);

void WriteEntry()
{
    RASENTRYA entry = {};
    entry.dwSize = kXpEntrySize;
    entry.dwType = RASET_Broadband;
    entry.dwfOptions = RASEO_ShowDialingProgress | RASEO_PreviewUserPw | RASEO_SecureLocalFiles | RASEO_ModemLights |
                       RASEO_DisableLcpExtensions | RASEO_RemoteDefaultGateway | RASEO_IpHeaderCompression;
    CopyBounded(entry.szDeviceType, "PPPoE");
    CopyBounded(entry.szDeviceName, "RASDT_PPPoE");
    entry.dwfNetProtocols = RASNP_Ip;
    entry.dwFramingProtocol = RASFP_Ppp;
    RasSetEntryPropertiesA(nullptr, kDefaultDialEntry, &entry, kXpEntrySize, nullptr, 0);
}

}  // namespace

bool DialDefaultPPPoE()
{
    const CPevlinSettings settings;
    const CString user = settings.PppoeUserId();
    const CString password = settings.PppoePassword();

    WriteEntry();

    RASDIALPARAMSA params = {};
    params.dwSize = sizeof params;
    CopyBounded(params.szEntryName, kDefaultDialEntry);
    CopyBounded(params.szPhoneNumber, "9 -A\"\" -S\"\"");
    CopyBounded(params.szUserName, user);
    CopyBounded(params.szPassword, password);
    HRASCONN connection = nullptr;
    if (RasDialA(nullptr, nullptr, &params, 0, nullptr, &connection) == 0)
        return true;
    if (connection)
        RasHangUpA(connection);
    RasDeleteEntryA(nullptr, kDefaultDialEntry);
    return false;
}
