#include "RouterProbe.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstring>
#include <vector>

#include "ConsoleCommand.h"
#include "TextSearch.h"

namespace {

bool RunWithAddress(const char* format, const char* address, CString* output)
{
    CString commandLine;
    commandLine.Format(format, address);
    return RunConsoleCommand(commandLine, output);
}

}  // namespace

bool RunArpDelete(const char* address)
{
    return RunWithAddress("arp -d %s", address, nullptr);
}

bool RunPingOnce(const char* address)
{
    return RunWithAddress("ping -n 1 %s", address, nullptr);
}

bool RunArpQuery(const char* address)
{
    CString output;
    return RunWithAddress("arp -a %s", address, &output) && ArpOutputShowsEntry(output);
}

bool ArpOutputShowsEntry(const char* output)
{
    return FindText(output, "Physical Address") || FindText(output, "物理アドレス");
}

CSimpleArray<CString> ReadGatewayTexts()
{
    CSimpleArray<CString> gateways;
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0)
        return gateways;
    std::vector<BYTE> block(size);
    auto* adapters = reinterpret_cast<IP_ADAPTER_INFO*>(block.data());
    if (GetAdaptersInfo(adapters, &size) != ERROR_SUCCESS)
        return gateways;
    for (const IP_ADAPTER_INFO* adapter = adapters; adapter; adapter = adapter->Next)
    {
        const char* text = adapter->GatewayList.IpAddress.String;
        gateways.Add(CString(text, int(strnlen(text, 15))));
    }
    return gateways;
}

bool NoRouterAmong(const CSimpleArray<CString>& gateways)
{
    bool answered = false;
    for (int i = 0; i < gateways.GetSize(); ++i) {
        const CString address(gateways[i].GetString());
        // An adapter without a gateway: "arp -a" with no address would list every entry.
        if (address.IsEmpty())
            continue;
        RunArpDelete(address);
        RunPingOnce(address);
        if (RunArpQuery(address))
            answered = true;
    }
    return !answered;
}

bool NoRouterFound()
{
    return NoRouterAmong(ReadGatewayTexts());
}
