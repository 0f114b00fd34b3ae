#include "PevlinWorkers.h"

PevlinWorker g_pevlinWorkers[kPevlinMethodCount] = {nullptr, nullptr, nullptr, nullptr};
