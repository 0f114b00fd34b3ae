#pragma once
// Binds the core library at run time on the first page request and unloads it at exit. A
// failed load leaves it unbound, so the next request tries again.
#include <windows.h>

#include "CStringT.h"
#include "CoreInterface.h"

class CCoreLoader {
public:
    // bindDomainUrl: the main program hands the library its domain URL; the companion does not.
    CCoreLoader(HostPageFactory hostFactory, bool bindDomainUrl);
    ~CCoreLoader();
    CCoreLoader(const CCoreLoader&) = delete;
    CCoreLoader& operator=(const CCoreLoader&) = delete;

    // "kavocore.dll" in the program's folder, unless set before the first request.
    const CString& GetLibraryPath();
    CWBDialog* GetPageObject(const char* name, HWND parent, CPageContext* context);

    HMODULE library = nullptr;
    CString libraryPath;
    KAVOCoreInitializeFn initialize = nullptr;
    KAVOCoreFinalizeFn finalize = nullptr;
    KAVOCoreGetPageObjectFn getPageObject = nullptr;
    KAVOCoreSetDomainUrlFn setDomainUrl = nullptr;

private:
    HostPageFactory m_hostFactory;
    bool m_bindDomainUrl;
};

// The main program's own pages that the core library asks it for.
CWBDialog* __cdecl LocalPageFactory(const char* className, HWND parent, CPageContext* context);

// A page or sequence of the core library, through the program's one loader.
CWBDialog* CreatePage(const char* name, HWND parent, CPageContext* context);
// The path the program's loader binds the core library from.
const CString& CoreLibraryPath();
