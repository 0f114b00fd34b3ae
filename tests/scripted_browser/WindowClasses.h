#pragma once
// The window classes of the double, registered for the module it is linked into (the test
// program or KavoScriptedBrowser.dll) on first use.
#include <windows.h>

namespace scripted {

extern const char kShellEmbeddingClass[];
extern const char kDocumentWindowClass[];
extern const char kTaskQueueClass[];

HINSTANCE ModuleInstance();
// Registers the class with proc unless this module already has it; false on failure.
bool EnsureWindowClass(const char* name, WNDPROC proc);
// Before the DLL unloads: a later load must not find classes whose procedures are gone.
void UnregisterWindowClasses();

}  // namespace scripted
