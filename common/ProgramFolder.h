#pragma once
#include "CStringT.h"

// The folder of the process's executable, without a trailing backslash.
CString GetProgramFolder();
