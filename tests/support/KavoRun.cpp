// Starts a program with the rest of this command line and prints its full exit value,
// which Wine would cut to 8 bits on the Linux side.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// The command line after this program's own name (quoted or not).
const char* RestOfCommandLine()
{
    const char* p = GetCommandLineA();
    if (*p == '"') {
        p = std::strchr(p + 1, '"');
        p = p ? p + 1 : "";
    } else {
        while (*p && *p != ' ')
            ++p;
    }
    while (*p == ' ')
        ++p;
    return p;
}

}  // namespace

int main()
{
    char commandLine[4096];
    std::snprintf(commandLine, sizeof commandLine, "%s", RestOfCommandLine());
    if (!*commandLine) {
        std::fprintf(stderr, "usage: kavo-run.exe PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", commandLine, GetLastError());
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("exit value: %ld (0x%08lX)\n", long(code), code);
    return 0;
}
