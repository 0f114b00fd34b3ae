#include "CConsoleProcess.h"

bool CConsoleProcess::Start(const char* commandLine)
{
    m_process.Close();
    m_readEnd.Close();
    if (GetStdHandle(STD_OUTPUT_HANDLE) == INVALID_HANDLE_VALUE)
        return false;

    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    CHandle readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        return false;
    // A tool that held the read end too would keep the pipe alive in whatever it starts.
    if (!SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0))
        return false;

    STARTUPINFOA startup = {sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    CString mutableLine(commandLine);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, mutableLine.GetBuffer(), nullptr, nullptr, TRUE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                        nullptr, &startup, &started))
        return false;
    CloseHandle(started.hThread);
    m_process.Attach(started.hProcess);
    m_readEnd.Attach(readEnd.Detach());
    return true;
}

void CConsoleProcess::ReadOutput(int limit, CString& output)
{
    output.Empty();
    char buffer[4096];
    DWORD read = 0;
    while (m_readEnd && ReadFile(m_readEnd, buffer, sizeof buffer, &read, nullptr) && read) {
        const int room = limit - output.GetLength();
        if (room > 0)
            output.Append(buffer, int(read) < room ? int(read) : room);
    }
}

bool CConsoleProcess::WaitForEnd()
{
    if (!m_process || WaitForSingleObject(m_process, INFINITE) != WAIT_OBJECT_0)
        return false;
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(m_process, &exitCode))
        return false;
    return exitCode != STILL_ACTIVE;
}
