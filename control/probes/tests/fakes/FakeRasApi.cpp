// Stands in for the remote-access library in the probe tests (loaded in its place with
// WINEDLLOVERRIDES=rasapi32=n,b): it dials nothing. With PEVLIN_FAKE_DIR set each call
// appends one line to "ras.txt" there; PEVLIN_FAKE_RASDIAL gives RasDialA's result (default 0)
// and PEVLIN_FAKE_RASHANDLE "0" makes a failed dial hand out no connection.
#include <windows.h>
#include <ras.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* name)
{
    char value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length && length < MAX_PATH ? std::string(value, length) : std::string();
}

void Record(const std::string& line)
{
    const std::string dir = Env("PEVLIN_FAKE_DIR");
    if (dir.empty())
        return;
    if (FILE* file = std::fopen((dir + "\\ras.txt").c_str(), "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string Text(const char* text)
{
    return text ? std::string(text) : std::string("(null)");
}

}  // namespace

extern "C" {

// Lets a test make sure this library, not the system's, answers.
DWORD WINAPI PevlinFakeRasIdentity()
{
    return 0x5EB11;
}

DWORD WINAPI RasSetEntryPropertiesA(LPCSTR phoneBook, LPCSTR entryName, LPRASENTRYA entry, DWORD entrySize,
                                     LPBYTE deviceInfo, DWORD deviceInfoSize)
{
    char line[1024];
    std::snprintf(line, sizeof line,
                  "SetEntry book=%s name=%s size=%lu dwSize=%lu type=%lu options=0x%lX phone=[%s] "
                  "devicetype=%s devicename=%s protocols=%lu framing=%lu",
                  Text(phoneBook).c_str(), Text(entryName).c_str(), entrySize, entry ? entry->dwSize : 0,
                  entry ? entry->dwType : 0, entry ? entry->dwfOptions : 0,
                  entry ? entry->szLocalPhoneNumber : "", entry ? entry->szDeviceType : "",
                  entry ? entry->szDeviceName : "", entry ? entry->dwfNetProtocols : 0,
                  entry ? entry->dwFramingProtocol : 0);
    Record(line);
    return 0;
}

DWORD WINAPI RasDialA(LPRASDIALEXTENSIONS extensions, LPCSTR phoneBook, LPRASDIALPARAMSA params,
                      DWORD notifierType, LPVOID notifier, LPHRASCONN connection)
{
    char line[1024];
    std::snprintf(line, sizeof line, "Dial book=%s entry=%s phone=[%s] callback=[%s] user=%s password=%s domain=[%s] notifier=%s",
                  Text(phoneBook).c_str(), params ? params->szEntryName : "", params ? params->szPhoneNumber : "",
                  params ? params->szCallbackNumber : "", params ? params->szUserName : "",
                  params ? params->szPassword : "", params ? params->szDomain : "", notifier ? "set" : "none");
    Record(line);
    const std::string result = Env("PEVLIN_FAKE_RASDIAL");
    const DWORD code = result.empty() ? 0 : DWORD(std::strtoul(result.c_str(), nullptr, 10));
    if (connection)
        *connection = (code && Env("PEVLIN_FAKE_RASHANDLE") == "0") ? nullptr : reinterpret_cast<HRASCONN>(0x5A17);
    return code;
}

DWORD WINAPI RasHangUpA(HRASCONN connection)
{
    char line[64];
    std::snprintf(line, sizeof line, "HangUp 0x%lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(connection)));
    Record(line);
    return 0;
}

DWORD WINAPI RasDeleteEntryA(LPCSTR phoneBook, LPCSTR entryName)
{
    Record("Delete book=" + Text(phoneBook) + " name=" + Text(entryName));
    return 0;
}

}  // extern "C"
