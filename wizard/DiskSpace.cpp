#include "DiskSpace.h"

namespace {

BOOL SystemDiskSpace(const char* root, ULONGLONG* freeToCaller, ULONGLONG* total)
{
    ULARGE_INTEGER available = {};
    ULARGE_INTEGER size = {};
    if (!::GetDiskFreeSpaceExA(root, &available, &size, nullptr))
        return FALSE;
    *freeToCaller = available.QuadPart;
    *total = size.QuadPart;
    return TRUE;
}

DiskSpaceQuery g_query = SystemDiskSpace;

}  // namespace

BOOL QueryDiskSpace(const char* root, ULONGLONG* freeToCaller, ULONGLONG* total)
{
    *freeToCaller = 0;
    *total = 0;
    if (g_query(root, freeToCaller, total))
        return TRUE;
    *freeToCaller = 0;
    *total = 0;
    return FALSE;
}

DiskSpaceQuery SetDiskSpaceQuery(DiskSpaceQuery query)
{
    const DiskSpaceQuery former = g_query;
    g_query = query ? query : SystemDiskSpace;
    return former == SystemDiskSpace ? nullptr : former;
}

CString FormatDriveSize(ULONGLONG bytes)
{
    static const char kUnits[] = " KMGT";
    const int lastUnit = int(sizeof kUnits) - 2;
    int unit = 0;
    while (bytes > 1024 && unit < lastUnit) {
        bytes /= 1024;
        ++unit;
    }
    CString text;
    if (unit == 0)
        text.Format("%lluB", bytes);
    else
        text.Format("%llu%cB", bytes, kUnits[unit]);
    return text;
}
