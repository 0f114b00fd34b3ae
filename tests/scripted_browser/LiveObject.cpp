#include "LiveObject.h"

#include <windows.h>

namespace scripted {

namespace {
volatile LONG g_live = 0;
}

LiveObject::LiveObject()
{
    ::InterlockedIncrement(&g_live);
}

LiveObject::~LiveObject()
{
    ::InterlockedDecrement(&g_live);
}

long LiveObject::Count()
{
    return ::InterlockedCompareExchange(&g_live, 0, 0);
}

}  // namespace scripted
