#pragma once
// The DNS client's "AddrConfigControl" value, which makes name resolution ask for IPv6
// addresses even without a global IPv6 address.

// True when the value exists (false also when the key cannot be opened with full access).
bool HasAddrConfigControl();
// Writes it as REG_DWORD 0; true when written.
bool SetAddrConfigControl();
