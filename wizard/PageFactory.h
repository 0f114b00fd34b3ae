#pragma once
// Turns a page class name, a sequence name or an error code into a wizard page.
#include <windows.h>

class CWBDialog;
struct CPageContext;

// A page whose window exists as a child of parent, or null for a name that names none or a
// page whose window could not be made.
CWBDialog* CreatePageObject(const char* name, HWND parent, CPageContext* context);

// The page that explains an "EWS" or "EXG" code, not yet windowed; records the code (and
// what it implies) in context.
CWBDialog* CreateErrorPage(const char* code, CPageContext* context);

// Creates page's window; a page that got none is gone afterwards (deleted here, or by its
// own final message when it was destroyed while being created) and null is returned.
CWBDialog* CreatePageWindow(CWBDialog* page, HWND parent, CPageContext* context);
