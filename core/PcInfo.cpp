#include "PcInfo.h"

#include "CCheckEnv.h"
#include "CRegKey.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "InstallState.h"

namespace {

const char kCpuKey[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
const char kBrowserKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";
const char kDiskUnitSpec[] = "Scsi Port *\\Scsi Bus *\\Target Id *\\Logical Unit Id *";

REGSAM View(const SystemApiTable& api)
{
    return api.isWow64() ? KEY_WOW64_64KEY : 0;
}

CString ReadString(const SystemApiTable& api, HKEY root, const char* path, const char* name, REGSAM view)
{
    CString value;
    if (api.readRegString(root, path, name, view, value) != ERROR_SUCCESS)
        value.Empty();
    return value;
}

// REG_SZ only: the device map's values of other types are not names.
CString ReadPlainString(HKEY key, const char* name)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return CString();
    CString value;
    char* buffer = value.GetBufferSetLength(int(size) + 1);
    DWORD got = size;
    const LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &got);
    buffer[rc == ERROR_SUCCESS && got <= size ? got : 0] = '\0';
    value.ReleaseBuffer();
    return value;
}

CString DiskIdentifiers(const PcInfoSource& source, REGSAM view)
{
    CString identifiers;
    CRegKey map;
    if (map.Open(source.scsiRoot, source.scsiPath, KEY_READ | view) != ERROR_SUCCESS)
        return identifiers;
    CSimpleArray<CString> paths;
    EnumRegKeysRecursive(map, "", paths, view);
    bool first = true;
    for (int i = 0; i < paths.GetSize(); ++i) {
        if (!source.Api().pathMatchSpec(paths[i], kDiskUnitSpec))
            continue;
        CRegKey unit;
        if (unit.Open(map, paths[i], KEY_READ | view) != ERROR_SUCCESS)
            continue;
        if (ReadPlainString(unit, "Type") != "DiskPeripheral")
            continue;
        const CString identifier = ReadPlainString(unit, "Identifier");
        if (first)
            identifiers = identifier;
        else
            identifiers.AppendFormat(", %s", identifier.GetString());
        first = false;
    }
    return identifiers;
}

}  // namespace

CString GetOsInfoText(const PcInfoSource& source)
{
    const CSystemRequirements& store = GetSystemRequirements();
    CCheckEnv env(&source.Api());
    CString text = env.GetSystemDisplayName(store.HasEntries() ? &store : nullptr);
    text.Replace(" Edition", "");
    text.Replace("Service Pack ", "SP");
    return text;
}

CString GetCpuInfoText(const PcInfoSource& source)
{
    const SystemApiTable& api = source.Api();
    const REGSAM view = View(api);
    const CString name = ReadString(api, HKEY_LOCAL_MACHINE, kCpuKey, "ProcessorNameString", view);
    DWORD mhz = 0;
    if (api.readRegDword(HKEY_LOCAL_MACHINE, kCpuKey, "~MHz", view, mhz) != ERROR_SUCCESS)
        mhz = 0;
    CString text;
    text.Format("%s(%dMHz)", name.GetString(), int(mhz));
    text.Replace("\r\n", " ");
    text.Replace("\t", " ");
    for (const char* mark : {"CPU ", "(R)", "(r)", "(TM)", "(tm)"})
        text.Replace(mark, "");
    while (text.Find("  ") >= 0)
        text.Replace("  ", " ");
    text.Trim();
    CutTo100Bytes(text);
    return text;
}

CString GetMemoryInfoText(const PcInfoSource& source)
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!source.Api().globalMemoryStatusEx(&status))
        status.ullTotalPhys = 0;
    CString text;
    text.Format("%luMB", static_cast<unsigned long>(status.ullTotalPhys >> 20));
    CutTo100Bytes(text);
    return text;
}

CString GetDiskInfoText(const PcInfoSource& source)
{
    const SystemApiTable& api = source.Api();
    CString text;
    const DWORD drives = api.getLogicalDrives();
    bool first = true;
    for (int letter = 0; letter < 26; ++letter) {
        if (!(drives & (1u << letter)))
            continue;
        const char root[] = {char('A' + letter), ':', '\\', '\0'};
        const char device[] = {char('A' + letter), ':', '\0'};
        if (api.getDriveType(root) != DRIVE_FIXED)
            continue;
        char target[MAX_PATH * 2] = {};
        // Substituted drives map to "\??\..." and are not disks of their own.
        if (!api.queryDosDevice(device, target, sizeof target) || CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE,
                                                                                 target, 8, "\\Device\\", 8) != CSTR_EQUAL)
            continue;
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
        if (!api.getDiskFreeSpace(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
            sectorsPerCluster = bytesPerSector = freeClusters = 0;
        const ULONGLONG freeBytes = ULONGLONG(sectorsPerCluster) * bytesPerSector * freeClusters;
        text.AppendFormat(first ? "%s(%luMB)" : ", %s(%luMB)", device, static_cast<unsigned long>(freeBytes / 1048576));
        first = false;
    }
    text.AppendFormat(" [%s]", DiskIdentifiers(source, View(api)).GetString());
    CutTo100Bytes(text);
    return text;
}

CString GetIeVersionText(const PcInfoSource& source)
{
    const SystemApiTable& api = source.Api();
    CString version = ReadString(api, HKEY_LOCAL_MACHINE, kBrowserKey, "svcVersion", View(api));
    if (version.IsEmpty())
        version = ReadString(api, HKEY_LOCAL_MACHINE, kBrowserKey, "Version", View(api));
    CutTo100Bytes(version);
    return version;
}

CString GetToolVersionText(const PcInfoSource& source)
{
    const HKEY root = CTextDef::GetRegRoot("COMMON_REG_HKLM_KAVO");
    const CString path = CTextDef::GetRegPath("COMMON_REG_HKLM_KAVO");
    CString version = ReadString(source.Api(), root ? root : HKEY_LOCAL_MACHINE, path, "Version", 0);
    CutTo100Bytes(version);
    return version;
}

CString GetStVersionText(BOOL useDefinitionText)
{
    CString version;
    if (useDefinitionText) {
        version = CTextDef::GetText("COMMON_CFG_OPS_PCINFO_STVER");
    } else {
        CString productId;
        if (!GetInstalledProductInfo(productId, version))
            version.Empty();
    }
    CutTo100Bytes(version);
    return version;
}

void CutTo100Bytes(CString& text)
{
    if (text.GetLength() > 100)
        text = CString(text.GetString(), 100);
}

int EnumRegKeysRecursive(HKEY key, const char* prefix, CSimpleArray<CString>& list, REGSAM view)
{
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof name;
        const LONG rc = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        CString path = prefix && *prefix ? CString(prefix) + "\\" + name : CString(name);
        list.Add(path);
        CRegKey sub;
        if (sub.Open(key, name, KEY_READ | view) == ERROR_SUCCESS)
            EnumRegKeysRecursive(sub, path, list, view);
    }
    return list.GetSize();
}
