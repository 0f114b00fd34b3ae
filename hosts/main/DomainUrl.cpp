#include "DomainUrl.h"

#include "CRegKey.h"
#include "CTextDef.h"

CString ReadDomainUrl()
{
    CString domain;
    CRegKey key;
    const HKEY root = CTextDef::GetRegRoot("COMMON_REG_HKLM_KAVO");
    if (root && key.Open(root, CTextDef::GetRegPath("COMMON_REG_HKLM_KAVO"), KEY_READ) == ERROR_SUCCESS)
        key.QueryStringValue("Domain", domain);
    if (domain.IsEmpty())
        domain = CTextDef::GetText("COMMON_INITCONF_URL");
    CTextDef::SetDomainUrl(domain);
    return domain;
}
