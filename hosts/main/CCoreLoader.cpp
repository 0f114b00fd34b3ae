#include "CCoreLoader.h"

#include <cstring>

#include "CTextDef.h"
#include "CUpdateDialog.h"
#include "OwnPage.h"
#include "ProgramFolder.h"

namespace {

template <typename F>
F Bind(HMODULE library, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

void FatalError(const char* text)
{
    ::MessageBeep(MB_ICONHAND);
    ::MessageBoxA(::GetActiveWindow(), text, "致命的なエラー", MB_ICONERROR);
}

}  // namespace

CCoreLoader::CCoreLoader(HostPageFactory hostFactory, bool bindDomainUrl)
    : m_hostFactory(hostFactory), m_bindDomainUrl(bindDomainUrl)
{
}

CCoreLoader::~CCoreLoader()
{
    if (library) {
        if (finalize)
            finalize();
        ::FreeLibrary(library);
    }
}

const CString& CCoreLoader::GetLibraryPath()
{
    if (libraryPath.IsEmpty())
        libraryPath = GetProgramFolder() + "\\kavocore.dll";
    return libraryPath;
}

CWBDialog* CCoreLoader::GetPageObject(const char* name, HWND parent, CPageContext* context)
{
    if (!library) {
        library = ::LoadLibraryA(GetLibraryPath());
        if (library) {
            initialize = Bind<KAVOCoreInitializeFn>(library, "KAVOCore_Initialize");
            finalize = Bind<KAVOCoreFinalizeFn>(library, "KAVOCore_Finalize");
            getPageObject = Bind<KAVOCoreGetPageObjectFn>(library, "KAVOCore_GetPageObject");
            if (m_bindDomainUrl)
                setDomainUrl = Bind<KAVOCoreSetDomainUrlFn>(library, "KAVOCore_SetDomainUrl");
            if (initialize)
                initialize(m_hostFactory);
            if (setDomainUrl)
                setDomainUrl(CTextDef::GetDomainUrl());
        } else {
            FatalError("kavocore.dll がロードできません");
        }
    }
    if (getPageObject)
        return getPageObject(name, parent, context);
    FatalError("GetPageObject が見つかりません");
    return nullptr;
}

CWBDialog* __cdecl LocalPageFactory(const char* className, HWND parent, CPageContext* context)
{
    if (className && std::strcmp(className, "CUpdateDialog") == 0)
        return NewOwnPage<CUpdateDialog>(parent, context);
    return nullptr;
}

namespace {

CCoreLoader& MainLoader()
{
    static CCoreLoader loader(LocalPageFactory, true);
    return loader;
}

}  // namespace

CWBDialog* CreatePage(const char* name, HWND parent, CPageContext* context)
{
    return MainLoader().GetPageObject(name, parent, context);
}

const CString& CoreLibraryPath()
{
    return MainLoader().GetLibraryPath();
}
