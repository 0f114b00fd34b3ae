#pragma once
// Probes the PC (operating system, processor, memory, fixed disks, browser) and compares
// each with the OS definition's entries. Results: 0 not met, 1 below the recommended value
// but usable, 2 met (also when no entry applies; the OS alone needs an entry).
#include <windows.h>

#include "CStringT.h"
#include "CSystemRequirements.h"
#include "RequirementElements.h"
#include "SystemApiTable.h"

class CCheckEnv {
public:
    // api: the system functions to probe through; null means the running system's.
    explicit CCheckEnv(const SystemApiTable* api = nullptr);
    virtual ~CCheckEnv() = default;
    CCheckEnv(const CCheckEnv&) = delete;
    CCheckEnv& operator=(const CCheckEnv&) = delete;

    // Fills every field; a null store leaves them as they are.
    void Evaluate(const CSystemRequirements* store);

    // The store's name for this system: by version key, else by legacy name, else the
    // "DEFAULT" entry. Without a store: the legacy name, else the version key.
    CString GetSystemName(const CSystemRequirements* store) const;
    // name plus " Service Pack n[.m]" of the running service pack.
    CString FormatOsText(const char* name) const;
    CString GetSystemDisplayName(const CSystemRequirements* store) const;

    int CheckOs(const CSystemRequirements* store, const char* systemName);
    int CheckCpu(const CSystemRequirements* store, const char* systemName, DWORD mhz);
    int CheckMemory(const CSystemRequirements* store, const char* systemName, DWORD megabytes);
    int CheckBrowser(const CSystemRequirements* store, const char* systemName, const char* version);

    const CString& GetOsText() const { return m_osText; }
    int GetOsResult() const { return m_osResult; }
    const COsReqElement& GetOsEntry() const { return m_osEntry; }
    const CString& GetCpuName() const { return m_cpuName; }
    DWORD GetCpuSpeed() const { return m_cpuSpeed; }
    int GetCpuResult() const { return m_cpuResult; }
    const CCpuReqElement& GetCpuEntry() const { return m_cpuEntry; }
    DWORD GetMemory() const { return m_memory; }
    int GetMemoryResult() const { return m_memoryResult; }
    const CMemReqElement& GetMemEntry() const { return m_memEntry; }
    DWORD GetSystemDriveFree() const { return m_systemDriveFree; }
    DWORD GetDriveMask() const { return m_driveMask; }
    int GetDiskResult() const { return m_diskResult; }
    const CHddReqElement& GetHddEntry() const { return m_hddEntry; }
    const CString& GetBrowserVersion() const { return m_browserVersion; }
    int GetBrowserResult() const { return m_browserResult; }
    const CIeReqElement& GetIeEntry() const { return m_ieEntry; }

protected:
    const SystemApiTable& Api() const { return *m_api; }

private:
    void EvaluateDisks(const CSystemRequirements* store, const char* systemName);
    bool Applies(const CString& pattern, const char* systemName, bool standardApplies) const;

    const SystemApiTable* m_api;

    CString m_osText;
    int m_osResult = 0;
    COsReqElement m_osEntry;
    CString m_cpuName;
    DWORD m_cpuSpeed = 0;
    int m_cpuResult = 0;
    CCpuReqElement m_cpuEntry;
    DWORD m_memory = 0;
    int m_memoryResult = 0;
    CMemReqElement m_memEntry;
    DWORD m_systemDriveFree = 0;
    DWORD m_driveMask = 0;
    int m_diskResult = 0;
    CHddReqElement m_hddEntry;
    CString m_browserVersion;
    int m_browserResult = 0;
    CIeReqElement m_ieEntry;
};

// "95", "98", "ME", "NT4", "2000", "XP", "XP64", "SERVER2003", else empty.
CString GetLegacyOsName(const SystemApiTable& api = GetSystemApiTable());
// "major.minor" on NT systems, with ",product type" when GetProductInfo gives one.
CString GetOsVersionKey(const SystemApiTable& api = GetSystemApiTable());
// The registry's CurrentBuild text (64-bit view under WOW64); empty when unreadable.
CString GetCurrentBuild(const SystemApiTable& api = GetSystemApiTable());
