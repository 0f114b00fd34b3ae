#pragma once
// The four diagnostics, one thread procedure each, taking the control's PevlinState. Each
// ends with its result code in RtnCode (the codes the operator's pages read).

// Internet reachability; finds why it fails and connects a profile of the connection tool.
unsigned __stdcall InternetCheckWorker(void* state);
// Reachability of the closed network's portal site; creates and connects its tool profile.
unsigned __stdcall PortalConnectWorker(void* state);
// Prerequisites of the IPv6 test site.
unsigned __stdcall V6TestSiteWorker(void* state);
// Reachability over the optical line unit; dials the default account, repairs IPv6.
unsigned __stdcall NetworkRepairWorker(void* state);
