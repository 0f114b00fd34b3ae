// The probe tests need the fake remote-access library beside them loaded in place of the
// system's. Wine takes a library from the program's folder first only when its load order
// says so; this program's own entry in the prefix says it, and a program that started before
// the entry was there starts itself once more.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CRegKey.h"

namespace {

constexpr const char kRelaunched[] = "PEVLIN_PROBE_TESTS_RELAUNCHED";

bool FakeRemoteAccessLoaded()
{
    const HMODULE ras = GetModuleHandleA("rasapi32.dll");
    return ras && GetProcAddress(ras, "PevlinFakeRasIdentity");
}

void PreferLibraryBesideThisProgram()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of('\\') + 1);
    CRegKey key;
    if (key.Create(HKEY_CURRENT_USER, ("Software\\Wine\\AppDefaults\\" + name + "\\DllOverrides").c_str()) ==
        ERROR_SUCCESS)
        key.SetStringValue("rasapi32", "native,builtin");
}

int RunAgain()
{
    SetEnvironmentVariableA(kRelaunched, "1");
    std::string commandLine = GetCommandLineA();
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started))
        return 1;
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return int(code);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!FakeRemoteAccessLoaded()) {
        PreferLibraryBesideThisProgram();
        // Once only: a second start that still lacks the fake runs, and its dial-up tests fail.
        if (GetEnvironmentVariableA(kRelaunched, nullptr, 0) == 0)
            return RunAgain();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
