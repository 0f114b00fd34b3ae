#pragma once
// The sign-in data kept between runs for the current user, enciphered in one binary
// registry value.
#include "CStringT.h"

// FALSE when the data could not be enciphered or written.
BOOL SaveLoginParams(const char* customerId, const char* accessKey);
// TRUE also when nothing is stored: the outputs then keep what they held.
BOOL LoadLoginParams(CString& customerId, CString& accessKey);
void DeleteLoginParams();
