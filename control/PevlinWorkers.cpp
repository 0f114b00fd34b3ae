#include "PevlinWorkers.h"

#include "DiagnosticsWorkers.h"

PevlinWorker g_pevlinWorkers[kPevlinMethodCount] = {PortalConnectWorker, InternetCheckWorker, V6TestSiteWorker,
                                                    NetworkRepairWorker};
