#pragma once
// The entries of the five external definition files, by section. One instance per process
// (GetExtDef); it holds entries only after a load that succeeded.
#include <windows.h>

#include "CAtlMap.h"
#include "CExtDefSection.h"
#include "CKAVOIniFileLoader.h"
#include "CStringT.h"

class CExtDef : public CKAVOIniFileLoader, public CAtlMap<CString, CExtDefSection> {
public:
    CExtDef();

    // Keeps the entries of the accepted sections (those before any header count as
    // "General"); always goes on.
    BOOL OnEntry(const char* section, const char* key, const char* value) override;

    // The section, created empty when missing.
    CExtDefSection& GetSection(const char* name);
    // True when some section holds an entry.
    bool HasEntries() const;
    // Empties every section, then the map.
    void Clear();
};

CExtDef& GetExtDef();
