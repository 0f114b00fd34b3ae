#include "Wow64.h"

BOOL IsWow64()
{
    // Looked up at run time: the function is missing from the oldest supported systems.
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32");
    if (!kernel)
        return FALSE;
    auto isWow64Process =
        reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    if (!isWow64Process)
        return FALSE;
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64))
        return FALSE;
    return wow64;
}
