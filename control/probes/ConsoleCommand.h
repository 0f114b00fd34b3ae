#pragma once
// Runs a console tool hidden and captures what it prints (standard output and standard error
// together). The tool's exit code is not judged: a tool that ran counts as success.
#include "CStringT.h"

// At most this many bytes of a tool's output are kept; the rest is read and dropped.
constexpr int kConsoleOutputLimit = 80000;

// commandLine is searched for the program as CreateProcess does without an application name
// (the folder of this process's program first). output, when given, holds the kept output;
// on failure it holds what was read before the failure (empty when the tool did not start).
bool RunConsoleCommand(const char* commandLine, CString* output);
