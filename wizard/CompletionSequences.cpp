#include "CompletionSequences.h"

#include <new>

#include "CTextDef.h"
#include "InstallState.h"
#include "pages/CInstallFailedDialog.h"
#include "pages/CPostInstallDialog.h"
#include "pages/CPostUpgradeDialog.h"
#include "pages/CUpgradeFailedDialog.h"

namespace {

// After a restart an empty expected version accepts any version of the expected product,
// where the check right after the setup accepts none. A product that cannot be queried
// counts as not installed.
bool IsExpectedProductPresent()
{
    if (!CTextDef::GetText("COMMON_CT_PRODUCTVERSION").IsEmpty())
        return IsExpectedProductInstalled() != FALSE;
    CString productId;
    CString version;
    return GetInstalledProductInfo(productId, version) &&
           productId.CompareNoCase(CTextDef::GetText("COMMON_CT_PRODUCTID")) == 0;
}

}  // namespace

CWBDialog* RunCompleteInstallation()
{
    if (IsExpectedProductPresent())
        return new (std::nothrow) CPostInstallDialog;
    return new (std::nothrow) CInstallFailedDialog;
}

CWBDialog* RunCompleteUpgrade()
{
    if (IsExpectedProductPresent())
        return new (std::nothrow) CPostUpgradeDialog;
    return new (std::nothrow) CUpgradeFailedDialog;
}
