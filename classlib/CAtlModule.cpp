#include "CAtlModule.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
HINSTANCE g_resourceInstance = reinterpret_cast<HINSTANCE>(&__ImageBase);
}

HINSTANCE AtlGetResourceInstance()
{
    return g_resourceInstance;
}

HINSTANCE AtlSetResourceInstance(HINSTANCE instance)
{
    HINSTANCE previous = g_resourceInstance;
    g_resourceInstance = instance;
    return previous;
}
