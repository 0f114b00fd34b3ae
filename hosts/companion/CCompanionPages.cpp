#include "CCompanionPages.h"

#include "CCoreLoader.h"

CWBDialog* __cdecl NullPageFactory(const char*, HWND, CPageContext*)
{
    return nullptr;
}

CWBDialog* CreateCompanionPage(const char* name, HWND parent, CPageContext* context)
{
    static CCoreLoader loader(NullPageFactory, false);
    return loader.GetPageObject(name, parent, context);
}
