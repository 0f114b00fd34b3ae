#pragma once
// A console tool started hidden whose standard output and standard error both go into one
// pipe that this process reads. Only the pipe's write end is inherited by the tool.
#include <windows.h>

#include "CHandle.h"
#include "CStringT.h"

class CConsoleProcess {
public:
    // False when this process has no valid standard output, the pipe cannot be made or the
    // tool does not start (nothing is then held).
    bool Start(const char* commandLine);

    // Reads until the tool and everything it started have closed the pipe; keeps the first
    // limit bytes in output (a NUL among them ends the text when it is read as one).
    void ReadOutput(int limit, CString& output);

    // Waits without a time limit; false when the wait fails, the exit code cannot be read or
    // reads as STILL_ACTIVE.
    bool WaitForEnd();

    HANDLE Process() const { return m_process; }
    HANDLE OutputPipe() const { return m_readEnd; }

private:
    CHandle m_process;
    CHandle m_readEnd;
};
