#pragma once
// The IPv6 state as the system's console tools show it, and the repairs through netsh.

// A line of "ipconfig" contains "2001:".
bool HasGlobalIPv6Address();
// A line of "ipconfig" contains the settings file's IPv6Address text (default "2001:a").
bool HasConfiguredIPv6Prefix();
// A line of "netsh interface ipv6 show address" contains "fe80:".
bool HasIPv6LinkLocal();
// "netsh interface ipv6 install" / "... renew" ran; netsh's own errors still count as ran.
bool InstallIPv6Protocol();
bool RenewIPv6Interface();
