#pragma once
#include <windows.h>

// TRUE when this 32-bit process runs on 64-bit Windows, so registry access must ask for the
// 64-bit view. FALSE when the system lacks IsWow64Process or the call fails.
BOOL IsWow64();
