#include "CoreExports.h"

namespace {

HostPageFactory g_hostPageFactory;

}  // namespace

HostPageFactory GetHostPageFactory()
{
    return g_hostPageFactory;
}

void SetHostPageFactory(HostPageFactory factory)
{
    g_hostPageFactory = factory;
}
