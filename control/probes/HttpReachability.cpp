#include "HttpReachability.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <wininet.h>

#include <cstdio>

#include "CHandleT.h"
#include "ProbeUrl.h"

namespace {

using CInternetHandle = CHandleT<HINTERNET, &::InternetCloseHandle>;

// A name that does not resolve fails here, before WinINet would try a proxy with it.
bool HostResolves(const char* host, unsigned short port)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return false;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    char service[8];
    std::snprintf(service, sizeof service, "%u", unsigned(port));
    addrinfo* found = nullptr;
    const bool resolved = getaddrinfo(host, service, &hints, &found) == 0;
    if (found)
        freeaddrinfo(found);
    WSACleanup();
    return resolved;
}

}  // namespace

bool CheckHttpReachable(const char* url)
{
    ProbeUrl parts;
    if (!ParseProbeUrl(url, parts))
        return false;
    if (!HostResolves(parts.host, parts.port))
        return false;

    CInternetHandle internet(InternetOpenA("lslead", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet)
        return false;
    CInternetHandle connection(
        InternetConnectA(internet, parts.host, parts.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return false;
    const DWORD flags = parts.secure ? INTERNET_FLAG_SECURE : 0;
    CInternetHandle request(HttpOpenRequestA(connection, "GET", parts.path, nullptr, "", nullptr, flags, 0));
    if (!request)
        return false;
    if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0))
        return false;

    char status[1023] = {};
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE, status, &size, nullptr))
        return false;
    return status[0] == '2';
}
