#pragma once
// The sign-in data kept between runs for the current user, enciphered in one binary
// registry value.
#include <windows.h>

#include "CStringT.h"

// FALSE when the data could not be enciphered or written.
BOOL SaveLoginParams(const char* customerId, const char* accessKey);
// TRUE also when nothing is stored: the outputs then keep what they held.
BOOL LoadLoginParams(CString& customerId, CString& accessKey);
void DeleteLoginParams();

// The write of the stored value into its open key (RegSetValueEx, REG_BINARY by default).
using LoginValueWriter = LONG (*)(HKEY key, const char* name, const BYTE* data, DWORD size);
// Puts writer in place (null restores the registry write) and returns the one it replaced;
// tests make the write fail with it.
LoginValueWriter SetLoginValueWriter(LoginValueWriter writer);
