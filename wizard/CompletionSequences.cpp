#include "CompletionSequences.h"

#include <new>

#include "InstallState.h"
#include "pages/CInstallFailedDialog.h"
#include "pages/CPostInstallDialog.h"
#include "pages/CPostUpgradeDialog.h"
#include "pages/CUpgradeFailedDialog.h"

// A product that cannot be queried counts as not installed.
CWBDialog* RunCompleteInstallation()
{
    if (IsExpectedProductInstalled())
        return new (std::nothrow) CPostInstallDialog;
    return new (std::nothrow) CInstallFailedDialog;
}

CWBDialog* RunCompleteUpgrade()
{
    if (IsExpectedProductInstalled())
        return new (std::nothrow) CPostUpgradeDialog;
    return new (std::nothrow) CUpgradeFailedDialog;
}
