#include "AutoFlow.h"

#include <cstring>

#include "CPageContext.h"

namespace {

LONG LauncherOption(const CPageContext* context)
{
    LONG option;
    std::memcpy(&option, context->launcherParams + LAUNCHER_QUIET_OFFSET, sizeof option);
    return option;
}

}  // namespace

bool IsAutomatic(const CPageContext* context)
{
    return context && context->autoFlow;
}

bool IsOptionGiven(const CPageContext* context)
{
    return IsAutomatic(context) && context->IsValueSet();
}

bool IsOptionAccepted(const CPageContext* context)
{
    return IsAutomatic(context) && context->launcherParams && (LauncherOption(context) & 0xf000) == 0;
}

bool HasLauncherCredentials(const CPageContext* context)
{
    // The texts are NUL-terminated fields of the block: empty when their first byte is 0.
    return IsAutomatic(context) && context->launcherParams &&
           context->launcherParams[LAUNCHER_CUSTOMER_ID_OFFSET] != '\0' &&
           context->launcherParams[LAUNCHER_ACCESS_KEY_OFFSET] != '\0';
}
