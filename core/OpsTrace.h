#pragma once
// The order system's protocol files: every request body and every answer in a file of its
// own, named by the time of writing, the direction and the request id, in the folder named
// by COMMON_NAME_OPSLOGDIR. Written only while the run's trace switch is on.
#include <windows.h>

#include "CStringT.h"

// The file name for one record: folder + "[OPSLOG]" + date and time to the millisecond +
// "_POST_" or "_RESP_" + id + ".txt".
CString OpsTraceFileName(const char* folder, const SYSTEMTIME& time, BOOL isRequest, const char* procId);
// Appends text (up to its NUL) to the record's file; nothing when enabled is clear.
void WriteOpsTrace(const char* text, const char* procId, BOOL enabled, BOOL isRequest);
