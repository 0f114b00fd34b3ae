#pragma once
// Owner of one kernel handle. Both NULL and INVALID_HANDLE_VALUE mean "none".
#include "CHandleT.h"

using CHandle = CHandleT<HANDLE, &::CloseHandle, CKernelHandle>;
