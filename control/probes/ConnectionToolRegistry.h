#pragma once
// What the registry says about the line's PPPoE connection tool (read-only, HKLM).
#include "CStringT.h"

constexpr const char kConnectionToolKey[] = "SOFTWARE\\Efficient Networks\\Tango Manager\\GenericInfo";
constexpr const char kOldConnectionToolKey[] = "SOFTWARE\\Efficient Networks\\EnterNet\\GenericInfo";

// The old tool generation's key exists.
bool HasOldConnectionTool();
// 0 tool key missing, 1 "Version" begins with "1.2.", 2 any other version, -1 unreadable.
int GetToolVersionKind();
// 0 "CompanyName" is "KRVJ", 1 "KRVK", -1 anything else or unreadable.
int GetToolCompany();
// True, and path = the "Path" value, when its program file exists; else false and empty.
bool GetToolPath(CString& path);

// One value of the tool key; false, and value empty, when the key or value is missing, or
// the value does not fit in 260 bytes.
bool ReadToolValue(const char* name, CString& value);
