#include "Ipv6Probes.h"

#include "ConsoleCommand.h"
#include "OutputLines.h"
#include "PevlinSettings.h"

namespace {

bool OutputHasLineWith(const char* commandLine, const char* needle)
{
    CString output;
    return RunConsoleCommand(commandLine, &output) && AnyOutputLineContains(output, needle);
}

}  // namespace

bool HasGlobalIPv6Address()
{
    return OutputHasLineWith("ipconfig", "2001:");
}

bool HasConfiguredIPv6Prefix()
{
    return OutputHasLineWith("ipconfig", CPevlinSettings().IPv6Address());
}

bool HasIPv6LinkLocal()
{
    return OutputHasLineWith("netsh interface ipv6 show address", "fe80:");
}

bool InstallIPv6Protocol()
{
    return RunConsoleCommand("netsh interface ipv6 install", nullptr);
}

bool RenewIPv6Interface()
{
    return RunConsoleCommand("netsh interface ipv6 renew", nullptr);
}
