#include "CExtDef.h"

#include <cstring>

namespace {

const char* const kAcceptedSections[] = {
    "General",    "InstallationControl", "InstallationInformation", "StartMenu", "UpgradeMigrationControl",
    "ConflictDetection", "B-N10", "Money",
};

}  // namespace

CExtDef::CExtDef()
{
    InitHashTable(17);
}

BOOL CExtDef::OnEntry(const char* section, const char* key, const char* value)
{
    const char* name = (section && *section) ? section : "General";
    for (const char* accepted : kAcceptedSections) {
        if (std::strcmp(name, accepted) == 0) {
            GetSection(accepted).Add(key, value);
            break;
        }
    }
    return TRUE;
}

CExtDefSection& CExtDef::GetSection(const char* name)
{
    return (*this)[CString(name)];
}

bool CExtDef::HasEntries() const
{
    for (POSITION pos = GetStartPosition(); pos;)
        if (GetNext(pos)->m_value.GetCount() > 0)
            return true;
    return false;
}

void CExtDef::Clear()
{
    for (POSITION pos = GetStartPosition(); pos;)
        GetNext(pos)->m_value.RemoveAll();
    RemoveAll();
}

CExtDef& GetExtDef()
{
    static CExtDef store;
    return store;
}
