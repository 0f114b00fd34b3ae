// The diagnostics take other roads on Windows XP and 2003 (the IPv6 stack repair, the hosts
// file the test site is looked up in). Wine reports an older system to a program whose entry
// in the prefix asks for it, read when the program starts: this program sets its own entry,
// runs itself once for each of the two systems and removes the entry again. Each run also
// needs the fake remote-access library beside it, as the probe tests do.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CRegKey.h"
#include "OldSystemRun.h"

namespace {

std::string AppDefaultsKey()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    return "Software\\Wine\\AppDefaults\\" + name.substr(name.find_last_of('\\') + 1);
}

bool FakeRemoteAccessLoaded()
{
    const HMODULE ras = GetModuleHandleA("rasapi32.dll");
    return ras && GetProcAddress(ras, "PevlinFakeRasIdentity");
}

// The exit value of this program run again as the given Wine version; -1 when it did not start.
int RunAs(const char* version)
{
    CRegKey entry;
    if (entry.Create(HKEY_CURRENT_USER, AppDefaultsKey().c_str()) != ERROR_SUCCESS ||
        entry.SetStringValue("Version", version) != ERROR_SUCCESS)
        return -1;
    CRegKey overrides;
    if (overrides.Create(HKEY_CURRENT_USER, (AppDefaultsKey() + "\\DllOverrides").c_str()) == ERROR_SUCCESS)
        overrides.SetStringValue("rasapi32", "native,builtin");

    SetEnvironmentVariableA(kOldSystemVariable, version);
    std::string commandLine = GetCommandLineA();
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION started = {};
    const BOOL ran =
        CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started);
    DWORD code = DWORD(-1);
    if (ran) {
        WaitForSingleObject(started.hProcess, INFINITE);
        GetExitCodeProcess(started.hProcess, &code);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
    SetEnvironmentVariableA(kOldSystemVariable, nullptr);
    // Every other start of this program sees the prefix's own system again.
    entry.DeleteValue("Version");
    return ran ? int(code) : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (GetEnvironmentVariableA(kOldSystemVariable, nullptr, 0) == 0) {
        int failed = 0;
        for (const OldSystem& system : kOldSystems) {
            std::printf("[ RUN AS   ] %s\n", system.wineVersion);
            std::fflush(stdout);
            if (RunAs(system.wineVersion) != 0) {
                std::printf("[  FAILED  ] the run as %s\n", system.wineVersion);
                failed = 1;
            }
        }
        return failed;
    }
    if (!FakeRemoteAccessLoaded()) {
        std::printf("the system's remote-access library was loaded in place of the fake\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
