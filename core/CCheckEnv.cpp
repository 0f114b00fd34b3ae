#include "CCheckEnv.h"

#include <cstring>

#include "CPageContext.h"

namespace {

const char kCpuKey[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
const char kBrowserKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";
const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const DWORD kMegabyte = 1048576;

OSVERSIONINFOEXA VersionInfo(const SystemApiTable& api)
{
    OSVERSIONINFOEXA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!api.getVersionEx(&info)) {
        std::memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
    }
    return info;
}

REGSAM RegistryView(const SystemApiTable& api)
{
    return api.isWow64() ? KEY_WOW64_64KEY : 0;
}

CString ReadString(const SystemApiTable& api, const char* path, const char* name)
{
    CString value;
    if (api.readRegString(HKEY_LOCAL_MACHINE, path, name, RegistryView(api), value) != ERROR_SUCCESS)
        value.Empty();
    return value;
}

// Free MB of a fixed drive that is a device of its own (a substituted drive is not); 0 for
// any other letter. usable tells which letters may be flagged at all.
DWORD FreeMegabytes(const SystemApiTable& api, int letter, bool& usable)
{
    usable = false;
    char root[] = "A:\\";
    root[0] = char('A' + letter);
    if (api.getDriveType(root) != DRIVE_FIXED)
        return 0;
    char device[] = "A:";
    device[0] = root[0];
    char target[MAX_PATH + 1] = "";
    if (!api.queryDosDevice(device, target, MAX_PATH) || _strnicmp(target, "\\Device\\", 8) != 0)
        return 0;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!api.getDiskFreeSpace(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return 0;
    usable = true;
    return DWORD(ULONGLONG(sectorsPerCluster) * bytesPerSector * freeClusters / kMegabyte);
}

}  // namespace

CString GetLegacyOsName(const SystemApiTable& api)
{
    const OSVERSIONINFOEXA info = VersionInfo(api);
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && info.dwMajorVersion == 4) {
        switch (info.dwMinorVersion) {
        case 0: return "95";
        case 10: return "98";
        case 90: return "ME";
        default: return CString();
        }
    }
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return CString();
    if (info.dwMajorVersion == 4 && info.dwMinorVersion == 0)
        return "NT4";
    if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0)
        return "2000";
    if (info.dwMajorVersion == 5 && info.dwMinorVersion == 1)
        return "XP";
    if (info.dwMajorVersion == 5 && info.dwMinorVersion == 2) {
        if (info.wProductType == VER_NT_WORKSTATION)
            return "XP64";
        if (info.wProductType == VER_NT_SERVER)
            return "SERVER2003";
    }
    return CString();
}

CString GetOsVersionKey(const SystemApiTable& api)
{
    const OSVERSIONINFOEXA info = VersionInfo(api);
    CString key;
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return key;
    key.Format("%d.%d", int(info.dwMajorVersion), int(info.dwMinorVersion));
    DWORD type = 0;
    if (api.getProductInfo(info.dwMajorVersion, info.dwMinorVersion, info.wServicePackMajor, info.wServicePackMinor,
                           &type))
        key.AppendFormat(",%d", int(type));
    return key;
}

CString GetCurrentBuild(const SystemApiTable& api)
{
    return ReadString(api, kCurrentVersionKey, "CurrentBuild");
}

CCheckEnv::CCheckEnv(const SystemApiTable* api) : m_api(api ? api : &GetSystemApiTable()) {}

CString CCheckEnv::GetSystemName(const CSystemRequirements* store) const
{
    if (!store) {
        const CString legacy = GetLegacyOsName(Api());
        return legacy.IsEmpty() ? GetOsVersionKey(Api()) : legacy;
    }
    CString name;
    const CString versionKey = GetOsVersionKey(Api());
    if (!versionKey.IsEmpty())
        name = store->LookupSystemName(versionKey);
    if (name.IsEmpty())
        name = store->LookupSystemName(GetLegacyOsName(Api()));
    if (name.IsEmpty())
        name = store->LookupSystemName("DEFAULT");
    return name;
}

CString CCheckEnv::FormatOsText(const char* name) const
{
    const OSVERSIONINFOEXA info = VersionInfo(Api());
    CString text(name);
    if (info.wServicePackMajor != 0) {
        text.AppendFormat(" Service Pack %d", int(info.wServicePackMajor));
        if (info.wServicePackMinor != 0)
            text.AppendFormat(".%d", int(info.wServicePackMinor));
    }
    return text;
}

CString CCheckEnv::GetSystemDisplayName(const CSystemRequirements* store) const
{
    return FormatOsText(GetSystemName(store));
}

bool CCheckEnv::Applies(const CString& pattern, const char* systemName, bool standardApplies) const
{
    return (standardApplies && pattern == "STANDARD") || Api().pathMatchSpec(systemName, pattern);
}

int CCheckEnv::CheckOs(const CSystemRequirements* store, const char* systemName)
{
    if (!store)
        return REQ_RESULT_NOT_MET;
    const CString build = GetCurrentBuild(Api());
    const CSimpleArray<COsBlackListElement>& blackList = store->GetOsBlackList();
    for (int i = 0; i < blackList.GetSize(); ++i)
        if (Applies(blackList[i].pattern, systemName, false) && blackList[i].build == build)
            return REQ_RESULT_NOT_MET;

    const int servicePack = VersionInfo(Api()).wServicePackMajor;
    const int bitness = Api().isWow64() ? 64 : 32;
    const CSimpleArray<COsReqElement>& entries = store->GetOsEntries();
    for (int i = 0; i < entries.GetSize(); ++i) {
        const COsReqElement& entry = entries[i];
        if (!Applies(entry.pattern, systemName, false))
            continue;
        m_osEntry = entry;
        if ((entry.servicePack == -1 || entry.servicePack == servicePack) &&
            (entry.bitness == -1 || entry.bitness == bitness))
            return entry.result;
    }
    return REQ_RESULT_NOT_MET;
}

int CCheckEnv::CheckCpu(const CSystemRequirements* store, const char* systemName, DWORD mhz)
{
    int result = REQ_RESULT_MET;
    if (!store)
        return result;
    const CSimpleArray<CCpuReqElement>& entries = store->GetCpuEntries();
    for (int i = 0; i < entries.GetSize(); ++i) {
        if (!Applies(entries[i].pattern, systemName, true))
            continue;
        m_cpuEntry = entries[i];
        result = entries[i].Compare(mhz);
    }
    return result;
}

int CCheckEnv::CheckMemory(const CSystemRequirements* store, const char* systemName, DWORD megabytes)
{
    int result = REQ_RESULT_MET;
    if (!store)
        return result;
    const CSimpleArray<CMemReqElement>& entries = store->GetMemEntries();
    for (int i = 0; i < entries.GetSize(); ++i) {
        if (!Applies(entries[i].pattern, systemName, true))
            continue;
        m_memEntry = entries[i];
        result = entries[i].Compare(megabytes);
    }
    return result;
}

int CCheckEnv::CheckBrowser(const CSystemRequirements* store, const char* systemName, const char* version)
{
    const BrowserVersion installed = ParseBrowserVersion(version);
    int result = REQ_RESULT_MET;
    if (!store)
        return result;
    const CSimpleArray<CIeReqElement>& entries = store->GetIeEntries();
    for (int i = 0; i < entries.GetSize(); ++i) {
        const CIeReqElement& entry = entries[i];
        if (!Applies(entry.pattern, systemName, true))
            continue;
        m_ieEntry = entry;
        if (CompareBrowserVersions(installed, entry.minimum) < 0)
            result = REQ_RESULT_NOT_MET;
        else
            result = CompareBrowserVersions(installed, entry.upper) < 0 ? REQ_RESULT_MET : REQ_RESULT_NOT_MET;
    }
    return result;
}

void CCheckEnv::EvaluateDisks(const CSystemRequirements* store, const char* systemName)
{
    char systemFolder[MAX_PATH + 1] = "";
    if (!Api().getSystemDirectory(systemFolder, MAX_PATH))
        systemFolder[0] = '\0';
    Api().pathStripToRoot(systemFolder);
    const char first = CharTraits<char>::ToUpper(systemFolder[0]);
    const int systemDrive = (first >= 'A' && first <= 'Z') ? first - 'A' : -1;

    DWORD freeMb[26] = {};
    DWORD usableMask = 0;
    const DWORD present = Api().getLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (!(present & (1u << letter)))
            continue;
        bool usable = false;
        freeMb[letter] = FreeMegabytes(Api(), letter, usable);
        if (usable)
            usableMask |= 1u << letter;
    }
    const LONGLONG systemFree = systemDrive >= 0 ? freeMb[systemDrive] : 0;

    int result = REQ_RESULT_MET;
    DWORD mask = 0;
    const CSimpleArray<CHddReqElement>& entries = store->GetHddEntries();
    for (int i = 0; i < entries.GetSize(); ++i) {
        const CHddReqElement& entry = entries[i];
        if (!Applies(entry.pattern, systemName, true))
            continue;
        m_hddEntry = entry;
        const LONGLONG systemNeed = LONGLONG(entry.systemPart) + entry.installPart;
        // Only the entry that decides names the drives: an earlier entry's flags do not stay.
        mask = 0;
        bool otherDriveFits = false;
        for (int letter = 0; letter < 26; ++letter) {
            if (!(usableMask & (1u << letter)))
                continue;
            const bool fits = letter == systemDrive ? LONGLONG(freeMb[letter]) >= systemNeed
                                                    : LONGLONG(freeMb[letter]) >= entry.installPart;
            if (!fits)
                continue;
            mask |= 1u << letter;
            if (letter != systemDrive)
                otherDriveFits = true;
        }
        if (systemFree >= systemNeed)
            result = REQ_RESULT_MET;
        else if (otherDriveFits && systemFree >= entry.systemPart)
            result = REQ_RESULT_WARNING;
        else
            result = REQ_RESULT_NOT_MET;
    }
    m_systemDriveFree = DWORD(systemFree);
    m_driveMask = mask;
    m_diskResult = result;
}

void CCheckEnv::Evaluate(const CSystemRequirements* store)
{
    if (!store)
        return;
    const CString systemName = GetSystemName(store);
    m_osText = FormatOsText(systemName);
    m_osResult = CheckOs(store, systemName);

    m_cpuName = ReadString(Api(), kCpuKey, "ProcessorNameString");
    m_cpuSpeed = 0;
    if (Api().readRegDword(HKEY_LOCAL_MACHINE, kCpuKey, "~MHz", RegistryView(Api()), m_cpuSpeed) != ERROR_SUCCESS)
        m_cpuSpeed = 0;
    m_cpuResult = CheckCpu(store, systemName, m_cpuSpeed);

    MEMORYSTATUSEX status;
    std::memset(&status, 0, sizeof status);
    status.dwLength = sizeof status;
    m_memory = Api().globalMemoryStatusEx(&status) ? DWORD(status.ullTotalPhys >> 20) : 0;
    m_memoryResult = CheckMemory(store, systemName, m_memory);

    EvaluateDisks(store, systemName);

    m_browserVersion = ReadString(Api(), kBrowserKey, "svcVersion");
    if (m_browserVersion.IsEmpty())
        m_browserVersion = ReadString(Api(), kBrowserKey, "Version");
    m_browserResult = CheckBrowser(store, systemName, m_browserVersion);
}
