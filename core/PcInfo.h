#pragma once
// The seven short texts of the PC-information report: OS, processor, memory, disks,
// browser, this tool's version and the security product's version. Built fresh each time.
#include <windows.h>

#include "CSimpleArray.h"
#include "CStringT.h"
#include "SystemApiTable.h"

// Where the texts are read from. A test names a machine of its own and a registry key that
// stands for the SCSI device map.
struct PcInfoSource {
    const SystemApiTable* api = nullptr;  // null: the running system's
    HKEY scsiRoot = HKEY_LOCAL_MACHINE;
    const char* scsiPath = "HARDWARE\\DEVICEMAP\\Scsi";

    const SystemApiTable& Api() const { return api ? *api : GetSystemApiTable(); }
};

// The OS display name ("Service Pack " as "SP", no " Edition").
CString GetOsInfoText(const PcInfoSource& source = PcInfoSource());
// "name(nnnMHz)" without the trade marks and the word "CPU".
CString GetCpuInfoText(const PcInfoSource& source = PcInfoSource());
// "nnnMB" of physical memory.
CString GetMemoryInfoText(const PcInfoSource& source = PcInfoSource());
// "C:(nnnMB), D:(nnnMB) [disk identifiers]" of the fixed drives.
CString GetDiskInfoText(const PcInfoSource& source = PcInfoSource());
CString GetIeVersionText(const PcInfoSource& source = PcInfoSource());
// The "Version" value of the key named by COMMON_REG_HKLM_KAVO.
CString GetToolVersionText(const PcInfoSource& source = PcInfoSource());
// COMMON_CFG_OPS_PCINFO_STVER when useDefinitionText is set, else the installed security
// product's version (empty when it cannot be asked).
CString GetStVersionText(BOOL useDefinitionText);

// Keeps the first 100 bytes; a double-byte character may be split there.
void CutTo100Bytes(CString& text);
// Appends the path (relative to key, joined with "\") of every sub key at every depth, each
// key followed at once by its own sub keys; returns the list's count.
int EnumRegKeysRecursive(HKEY key, const char* prefix, CSimpleArray<CString>& list, REGSAM view = 0);
