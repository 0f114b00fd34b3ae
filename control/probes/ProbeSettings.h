#pragma once
// Fixed names the probes look for or send that belong to this control alone, not to Windows
// or to the connection tool.

// The IPv6 test site's host name, looked for in the hosts file.
constexpr const char kV6TestSiteHost[] = "v6terrace.lumio-net.jp";

// The line's default dial-up account, used when the settings file names none.
constexpr const char kDefaultPppoeUser[] = "setup@lumio-net.jp";
constexpr const char kDefaultPppoePassword[] = "dravo";

// The closed network's route server, where a created portal profile signs in.
constexpr const char kRouteServerHost[] = "rs.square.lumio-net.jp";
constexpr const char kRouteServerAccount[] = "square-guest";
constexpr const char kRouteServerPassword[] = "pomel";
