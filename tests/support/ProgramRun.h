#pragma once
// Starting the project's programs from a test and reading their full exit value, which
// Wine cuts to 8 bits on the Linux side but a Windows-side parent sees whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

// The started process (its thread handle closed), or null after a test failure.
inline HANDLE StartProgram(const std::string& program, const std::string& arguments)
{
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start " << program << ": " << GetLastError();
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

// The exit value, or -1 (and a test failure, the process ended) when it did not end in time.
inline DWORD WaitForExit(HANDLE process, DWORD timeout = 60000)
{
    if (WaitForSingleObject(process, timeout) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        ADD_FAILURE() << "the program did not end";
        return DWORD(-1);
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}
