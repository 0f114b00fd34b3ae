#include "CoreModule.h"

namespace {
HMODULE g_module;
}

HMODULE CoreModule()
{
    return g_module;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
