#pragma once
#include <windows.h>

// The core library's own module handle, for its resources.
HMODULE CoreModule();
