#pragma once
// The core library's plain C exports, as the hosts bind them by name.
#include <windows.h>

#include "CoreInterface.h"

extern "C" {
int __cdecl KAVOCore_Initialize(HostPageFactory factory);
int __cdecl KAVOCore_SetDomainUrl(const char* domainUrl);
CWBDialog* __cdecl KAVOCore_GetPageObject(const char* name, HWND parent, CPageContext* context);
int __cdecl KAVOCore_Finalize();
// rundll32 shape: writes the built-in definition text to commandLine, or to "text.def" in
// the current folder when it is empty. 0 when every byte was written.
int __cdecl KAVOCore_ExtractTextDef(HWND window, HINSTANCE instance, const char* commandLine, int showCommand);
}

// The host's factory and the library's own, for pages that open pages by class name.
HostPageFactory GetHostPageFactory();
// Kept apart from the exports, so that pages read it without the library's module.
void SetHostPageFactory(HostPageFactory factory);
KAVOCoreGetPageObjectFn GetPageFactory();

// True for the main program's file name, in any letter case: it has no cached values to read.
bool IsMainProgramName(const char* baseName);
// Puts the values an earlier run cached in the registry over the loaded texts.
void OverlayCachedValues();
