#pragma once
// The companion's binding of the core library: no domain URL, no pages of its own.
#include <windows.h>

struct CPageContext;
class CWBDialog;

CWBDialog* __cdecl NullPageFactory(const char* className, HWND parent, CPageContext* context);
// A page of the core library through the companion's one loader; null when it cannot be made.
CWBDialog* CreateCompanionPage(const char* name, HWND parent, CPageContext* context);
