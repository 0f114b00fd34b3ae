#pragma once
// The size of the PC's drives as the disk-shortfall page lists them.
#include <windows.h>

#include "CStringT.h"

// The bytes of the drive at root ("C:\") available to the caller and its total bytes, as
// GetDiskFreeSpaceExA gives them. FALSE when the drive cannot be asked (no medium, no
// such drive); both figures are then 0.
BOOL QueryDiskSpace(const char* root, ULONGLONG* freeToCaller, ULONGLONG* total);

// What QueryDiskSpace asks in place of the system; tests feed figures of their own. Returns
// the former one; null puts the system's query back.
typedef BOOL (*DiskSpaceQuery)(const char* root, ULONGLONG* freeToCaller, ULONGLONG* total);
DiskSpaceQuery SetDiskSpaceQuery(DiskSpaceQuery query);

// Bytes up to 1024 as "<n>B"; above, divided by 1024 (truncating) until at most 1024, with
// the unit K, M, G or T. The division stops at T, so 1024 TB and more stay in T.
CString FormatDriveSize(ULONGLONG bytes);
