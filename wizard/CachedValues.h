#pragma once
// The registry cache of definition values that the normal sequence writes and a core
// library whose host is not the main program reads back: one string value per key listed
// in COMMON_DATA_CACHED_EXTDEF_PROPERTIES, under COMMON_REG_HKCU_KAVO "\cached extdef".
#include "CRegKey.h"
#include "CSimpleArray.h"
#include "CStringT.h"

// Opens the cache key (creates it with create); false, with key left closed, when it cannot.
bool OpenCachedValuesKey(CRegKey& key, bool create);

// The listed key names in list order (split at CR, LF and ","; empty names skipped).
CSimpleArray<CString> CachedValueNames();
