#pragma once
// A PPPoE connection with the line's default account through the remote-access service.

// The phone-book entry the dial-up writes into the default phone book.
constexpr const char kDefaultDialEntry[] = "KAVO対策ツール設定用";

// Writes the entry and dials it synchronously with the settings file's account. True when
// the connection is up (entry and connection stay); on failure the connection is hung up and
// the entry deleted.
bool DialDefaultPPPoE();
