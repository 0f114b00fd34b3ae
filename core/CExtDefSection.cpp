#include "CExtDefSection.h"

#include "CAtlException.h"

void CExtDefSection::Add(const char* key, const char* value)
{
    if (!m_entries.Add(CExtDefEntry{CString(key), CString(value)}))
        AtlThrow(E_OUTOFMEMORY);
}

const CExtDefEntry* CExtDefSection::Find(const char* key) const
{
    for (int i = m_entries.GetSize() - 1; i >= 0; --i) {
        const CExtDefEntry& entry = m_entries[i];
        if (entry.key == key || (m_ignoreCase && entry.key.CompareNoCase(key) == 0))
            return &entry;
    }
    return nullptr;
}
