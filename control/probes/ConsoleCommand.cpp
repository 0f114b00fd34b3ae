#include "ConsoleCommand.h"

#include "CConsoleProcess.h"

bool RunConsoleCommand(const char* commandLine, CString* output)
{
    if (output)
        output->Empty();
    CConsoleProcess tool;
    if (!tool.Start(commandLine))
        return false;
    CString kept;
    tool.ReadOutput(kConsoleOutputLimit, kept);
    if (output)
        *output = kept;
    return tool.WaitForEnd();
}
