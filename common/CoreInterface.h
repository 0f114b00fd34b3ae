#pragma once
// The core library's exports as both sides see them: plain C functions bound by name.
#include <windows.h>

class CWBDialog;
struct CPageContext;

// A host's own pages, for the few that only a host program has.
typedef CWBDialog*(__cdecl* HostPageFactory)(const char* className, HWND parent, CPageContext* context);

typedef int(__cdecl* KAVOCoreInitializeFn)(HostPageFactory factory);
typedef int(__cdecl* KAVOCoreSetDomainUrlFn)(const char* domainUrl);
typedef CWBDialog*(__cdecl* KAVOCoreGetPageObjectFn)(const char* name, HWND parent, CPageContext* context);
typedef int(__cdecl* KAVOCoreFinalizeFn)();
