#pragma once
// Is there a router on the line? Each adapter's default gateway is asked over ARP after a
// ping has made the system look it up.
#include "CSimpleArray.h"
#include "CStringT.h"

// True when the console command ran (its output is dropped).
bool RunArpDelete(const char* address);
bool RunPingOnce(const char* address);
// True when "arp -a <address>" lists a hardware address for it.
bool RunArpQuery(const char* address);

// True when arp's output (searched as a whole) shows a hardware address column.
bool ArpOutputShowsEntry(const char* output);

// The first gateway address of each adapter, in adapter order (at most 15 characters each);
// empty when the adapter list cannot be read. Adapters without a gateway give an empty text.
CSimpleArray<CString> ReadGatewayTexts();

// True when none of the gateways answers ARP. Every gateway is asked; empty texts are skipped.
bool NoRouterAmong(const CSimpleArray<CString>& gateways);

// NoRouterAmong(ReadGatewayTexts()).
bool NoRouterFound();
