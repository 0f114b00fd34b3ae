#include "SystemApiTable.h"

#include "CRegKey.h"
#include "Wow64.h"

namespace {

using PathMatchSpecFn = BOOL(WINAPI*)(LPCSTR, LPCSTR);
using PathStripToRootFn = BOOL(WINAPI*)(LPSTR);
using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
using QueryDosDeviceFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
using GetDiskFreeSpaceFn = BOOL(WINAPI*)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);

FARPROC Lookup(HMODULE module, const char* name)
{
    if (!module)
        return nullptr;
    FARPROC function = GetProcAddress(module, name);
    if (!function)
        function = GetProcAddress(module, (CString(name) + "A").GetString());
    return function;
}

template <typename Fn>
Fn Bind(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(Lookup(module, name)));
}

// The bound functions; null for one the system lacks.
struct BoundFunctions {
    BoundFunctions()
    {
        // shlwapi stays loaded for the life of the process, as the table does.
        HMODULE shlwapi = LoadLibraryA("shlwapi.dll");
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        pathMatchSpec = Bind<PathMatchSpecFn>(shlwapi, "PathMatchSpec");
        pathStripToRoot = Bind<PathStripToRootFn>(shlwapi, "PathStripToRoot");
        globalMemoryStatusEx = Bind<GlobalMemoryStatusExFn>(kernel, "GlobalMemoryStatusEx");
        queryDosDevice = Bind<QueryDosDeviceFn>(kernel, "QueryDosDevice");
        getDiskFreeSpace = Bind<GetDiskFreeSpaceFn>(kernel, "GetDiskFreeSpace");
    }

    PathMatchSpecFn pathMatchSpec;
    PathStripToRootFn pathStripToRoot;
    GlobalMemoryStatusExFn globalMemoryStatusEx;
    QueryDosDeviceFn queryDosDevice;
    GetDiskFreeSpaceFn getDiskFreeSpace;
};

const BoundFunctions& Bound()
{
    static const BoundFunctions functions;
    return functions;
}

BOOL RealPathMatchSpec(const char* file, const char* spec)
{
    return Bound().pathMatchSpec ? Bound().pathMatchSpec(file, spec) : FALSE;
}

BOOL RealPathStripToRoot(char* path)
{
    return Bound().pathStripToRoot ? Bound().pathStripToRoot(path) : FALSE;
}

BOOL RealGlobalMemoryStatusEx(MEMORYSTATUSEX* status)
{
    return Bound().globalMemoryStatusEx ? Bound().globalMemoryStatusEx(status) : FALSE;
}

DWORD RealQueryDosDevice(const char* device, char* target, DWORD size)
{
    return Bound().queryDosDevice ? Bound().queryDosDevice(device, target, size) : 0;
}

BOOL RealGetDiskFreeSpace(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector, DWORD* freeClusters,
                          DWORD* totalClusters)
{
    return Bound().getDiskFreeSpace
               ? Bound().getDiskFreeSpace(root, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters)
               : FALSE;
}

BOOL RealGetVersionEx(OSVERSIONINFOEXA* info)
{
    return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(info));
}

BOOL RealGetProductInfo(DWORD major, DWORD minor, DWORD spMajor, DWORD spMinor, DWORD* type)
{
    auto getProductInfo = Bind<GetProductInfoFn>(GetModuleHandleA("kernel32.dll"), "GetProductInfo");
    return getProductInfo ? getProductInfo(major, minor, spMajor, spMinor, type) : FALSE;
}

UINT RealGetSystemDirectory(char* buffer, UINT size)
{
    return GetSystemDirectoryA(buffer, size);
}

DWORD RealGetLogicalDrives()
{
    return GetLogicalDrives();
}

UINT RealGetDriveType(const char* root)
{
    return GetDriveTypeA(root);
}

LONG RealReadRegString(HKEY root, const char* path, const char* name, REGSAM view, CString& value)
{
    CRegKey key;
    LONG rc = key.Open(root, path, KEY_READ | view);
    if (rc != ERROR_SUCCESS)
        return rc;
    return key.QueryStringValue(name, value);
}

LONG RealReadRegDword(HKEY root, const char* path, const char* name, REGSAM view, DWORD& value)
{
    CRegKey key;
    LONG rc = key.Open(root, path, KEY_READ | view);
    if (rc != ERROR_SUCCESS)
        return rc;
    return key.QueryDWORDValue(name, value);
}

const SystemApiTable kRealTable = {
    &RealPathMatchSpec,  &RealPathStripToRoot, &RealGlobalMemoryStatusEx, &RealQueryDosDevice,
    &RealGetDiskFreeSpace, &RealGetVersionEx,  &RealGetProductInfo,       &RealGetSystemDirectory,
    &RealGetLogicalDrives, &RealGetDriveType,  &IsWow64,                  &RealReadRegString,
    &RealReadRegDword,
};

// Bound while the library loads, before any probe runs on a worker thread.
[[maybe_unused]] const BoundFunctions& kBindAtLoad = Bound();

}  // namespace

const SystemApiTable& GetSystemApiTable()
{
    return kRealTable;
}
