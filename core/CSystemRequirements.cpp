#include "CSystemRequirements.h"

#include "CTextDef.h"
#include "ProgramFolder.h"

namespace {

template <typename T>
void Append(CSimpleArray<T>& list, const T& element)
{
    if (!list.Add(element))
        AtlThrow(E_OUTOFMEMORY);
}

// The element's Parse refuses malformed text; only an accepted element is kept.
template <typename T>
void AppendParsed(CSimpleArray<T>& list, const char* key, const char* value)
{
    T element;
    if (element.Parse(key, value))
        Append(list, element);
}

}  // namespace

CSystemRequirements::CSystemRequirements()
{
    m_systemNames.InitHashTable(17);
}

BOOL CSystemRequirements::OnEntry(const char* section, const char* key, const char* value)
{
    try {
        TakeEntry(CString(section), key ? key : "", value ? value : "");
    } catch (const CAtlException&) {
        // Only this entry is lost; the rest of the file still counts.
    }
    return TRUE;
}

void CSystemRequirements::TakeEntry(const CString& section, const char* key, const char* value)
{
    const CString name(key);
    if (section == "SystemNames" || section == "SystemName") {
        if (!name.IsEmpty())
            m_systemNames.SetAt(name, CString(value));
    } else if (section == "OS") {
        if (name == "OS_Requirements") {
            m_osText = value;
        } else if (!name.IsEmpty()) {
            COsReqElement element;
            element.Parse(key);
            Append(m_os, element);
        }
    } else if (section == "OSBuildBlackList") {
        if (*key && *value)
            Append(m_osBlackList, COsBlackListElement{CString(key), CString(value)});
    } else if (section == "CPU") {
        if (name == "CPU_Requirements")
            m_cpuText = value;
        else
            AppendParsed(m_cpu, key, value);
    } else if (section == "MEM" || section == "Memory") {
        if (name == "MEM_Requirements")
            m_memText = value;
        else
            AppendParsed(m_mem, key, value);
    } else if (section == "HDD" || section == "Drive") {
        if (name == "HDD_Requirements")
            m_hddText = value;
        else
            AppendParsed(m_hdd, key, value);
    } else if (section == "IE" || section == "InternetExplorer") {
        if (name == "IE_Requirements")
            m_ieText = value;
        else
            AppendParsed(m_ie, key, value);
    }
}

CString CSystemRequirements::LookupSystemName(const char* identifier) const
{
    CString name;
    m_systemNames.Lookup(CString(identifier), name);
    return name;
}

bool CSystemRequirements::HasEntries() const
{
    return !m_systemNames.IsEmpty() || m_os.GetSize() || m_cpu.GetSize() || m_mem.GetSize() || m_hdd.GetSize() ||
           m_ie.GetSize();
}

void CSystemRequirements::RemoveAll()
{
    m_systemNames.RemoveAll();
    m_os.RemoveAll();
    m_osBlackList.RemoveAll();
    m_cpu.RemoveAll();
    m_mem.RemoveAll();
    m_hdd.RemoveAll();
    m_ie.RemoveAll();
    m_osText.Empty();
    m_cpuText.Empty();
    m_memText.Empty();
    m_hddText.Empty();
    m_ieText.Empty();
}

CSystemRequirements& GetSystemRequirements()
{
    static CSystemRequirements store;
    return store;
}

BOOL LoadOsDefinitions()
{
    CSystemRequirements& store = GetSystemRequirements();
    if (store.HasEntries())
        return TRUE;
    if (CTextDef::HasText("TWEAK_FILENAME_EXTDEF")) {
        const CString path = GetProgramFolder() + "\\" + CTextDef::GetText("TWEAK_FILENAME_EXTDEF");
        if (store.Load(path))
            return TRUE;
    }
    const CString url = CTextDef::GetUrlText("COMMON_URI_EXTDEF_OSDEF");
    if (url.IsEmpty())
        return FALSE;
    return store.Load(url);
}
