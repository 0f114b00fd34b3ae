#pragma once
#include "CStringT.h"

// The content server's base URL: "Domain" under COMMON_REG_HKLM_KAVO, else the initial URL
// of the definition text. Stored as this program's domain URL and returned.
CString ReadDomainUrl();
