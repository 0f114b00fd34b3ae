#include "CoreModule.h"

// In the test program the core library's code and resources are the program's own.
HMODULE CoreModule()
{
    return GetModuleHandleA(nullptr);
}
