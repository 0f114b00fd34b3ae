#pragma once
// The entries of one section of the external definition files, in the order read; a key
// read more than once keeps every entry.
#include <windows.h>

#include "CSimpleArray.h"
#include "CStringT.h"

struct CExtDefEntry {
    CString key;
    CString value;
};

class CExtDefSection {
public:
    void Add(const char* key, const char* value);
    // The last entry read for the key, or null.
    const CExtDefEntry* Find(const char* key) const;
    int GetCount() const { return m_entries.GetSize(); }
    const CExtDefEntry& operator[](int index) const { return m_entries[index]; }
    void RemoveAll() { m_entries.RemoveAll(); }

    // Keys match without regard to letter case when set; every section this system makes
    // leaves it clear.
    BOOL m_ignoreCase = FALSE;

private:
    CSimpleArray<CExtDefEntry> m_entries;
};
