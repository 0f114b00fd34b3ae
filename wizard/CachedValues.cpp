#include "CachedValues.h"

#include "CTextDef.h"

bool OpenCachedValuesKey(CRegKey& key, bool create)
{
    const HKEY root = CTextDef::GetRegRoot("COMMON_REG_HKCU_KAVO");
    if (!root)
        return false;
    const CString path = CTextDef::GetRegPath("COMMON_REG_HKCU_KAVO") + "\\cached extdef";
    const REGSAM access = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;
    return (create ? key.Create(root, path, access) : key.Open(root, path, access)) == ERROR_SUCCESS;
}

CSimpleArray<CString> CachedValueNames()
{
    CSimpleArray<CString> names;
    const CString list = CTextDef::GetText("COMMON_DATA_CACHED_EXTDEF_PROPERTIES");
    int position = 0;
    for (;;) {
        const CString name = list.Tokenize("\r\n,", position);
        if (position < 0)
            break;
        names.Add(name);
    }
    return names;
}
