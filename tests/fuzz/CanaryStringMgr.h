#pragma once
// String buffers with canaries, for strings given this manager (CStringT::SetManager): every
// buffer gets guard bytes before its header and after its terminator. A buffer freed or grown
// with a guard byte changed was written outside its bounds; such a buffer is counted, not
// freed, so the heap stays usable for the report. Strings of the class library's own take
// their buffers from the process heap without a manager; the heap check of the runs covers
// those.
#include <windows.h>

#include "CStringT.h"

// Buffers found written outside their bounds since the program started.
long CanaryFaults();

IAtlStringMgr* CanaryStringManager();

// A manager that places every buffer so that its terminator is the last byte before a
// no-access page: a read past the end of the string faults. Slow; for inputs only.
IAtlStringMgr* GuardPageStringManager();

// Moves text into a buffer of GuardPageStringManager(); growing it later stays in that
// manager.
void PlaceAtGuardPage(CString& text);
