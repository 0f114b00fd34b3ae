#pragma once
// The OS definition file: supported systems and what each needs in processor, memory, disk
// and browser, the texts the requirement pages show, and the table from a probed OS
// identifier to the system name the entries are written for. One instance per process
// (GetSystemRequirements), filled once by LoadOsDefinitions.
#include <windows.h>

#include "CAtlMap.h"
#include "CKAVOIniFileLoader.h"
#include "CSimpleArray.h"
#include "CStringT.h"
#include "RequirementElements.h"

class CSystemRequirements : public CKAVOIniFileLoader {
public:
    CSystemRequirements();

    // Takes one entry; a malformed entry is dropped alone. Always goes on.
    BOOL OnEntry(const char* section, const char* key, const char* value) override;

    // The system name for a probed identifier; empty when the table lacks it.
    CString LookupSystemName(const char* identifier) const;
    // True when the names table or any requirement list (not the blacklist) holds an entry.
    bool HasEntries() const;
    // Back to the empty state of library load.
    void RemoveAll();

    const CSimpleArray<COsReqElement>& GetOsEntries() const { return m_os; }
    const CSimpleArray<COsBlackListElement>& GetOsBlackList() const { return m_osBlackList; }
    const CSimpleArray<CCpuReqElement>& GetCpuEntries() const { return m_cpu; }
    const CSimpleArray<CMemReqElement>& GetMemEntries() const { return m_mem; }
    const CSimpleArray<CHddReqElement>& GetHddEntries() const { return m_hdd; }
    const CSimpleArray<CIeReqElement>& GetIeEntries() const { return m_ie; }
    const CString& GetOsRequirements() const { return m_osText; }
    const CString& GetCpuRequirements() const { return m_cpuText; }
    const CString& GetMemRequirements() const { return m_memText; }
    const CString& GetHddRequirements() const { return m_hddText; }
    const CString& GetIeRequirements() const { return m_ieText; }

private:
    void TakeEntry(const CString& section, const char* key, const char* value);

    CAtlMap<CString, CString> m_systemNames;
    CSimpleArray<COsReqElement> m_os;
    CString m_osText;
    CSimpleArray<COsBlackListElement> m_osBlackList;
    CSimpleArray<CCpuReqElement> m_cpu;
    CString m_cpuText;
    CSimpleArray<CMemReqElement> m_mem;
    CString m_memText;
    CSimpleArray<CHddReqElement> m_hdd;
    CString m_hddText;
    CSimpleArray<CIeReqElement> m_ie;
    CString m_ieText;
};

CSystemRequirements& GetSystemRequirements();

// Fills GetSystemRequirements once: from the local file named by TWEAK_FILENAME_EXTDEF when
// that switch is present and the file loads, else from COMMON_URI_EXTDEF_OSDEF. TRUE when
// the store holds (or already held) the definitions.
BOOL LoadOsDefinitions();
