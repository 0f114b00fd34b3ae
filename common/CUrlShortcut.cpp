#include "CUrlShortcut.h"

#include <windows.h>
// intshcut.h needs the COM interface macros of objbase.h.
#include <objbase.h>
#include <intshcut.h>
#include <shlobj.h>

#include "CA2W.h"
#include "CComPtr.h"
#include "CScopedComInit.h"
#include "CStringT.h"

namespace {

CString ProgramsFolder()
{
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &pidl)) || !pidl)
        return CString();
    char path[MAX_PATH] = "";
    const BOOL found = SHGetPathFromIDListA(pidl, path);
    CoTaskMemFree(pidl);
    return found ? CString(path) : CString();
}

bool RepointShortcut(const char* relativePath, const char* url)
{
    CComPtr<IUniformResourceLocatorA> locator;
    if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER, IID_IUniformResourceLocatorA,
                                reinterpret_cast<void**>(&locator))))
        return false;
    CComPtr<IPersistFile> file;
    if (FAILED(locator.QueryInterface(&file)))
        return false;

    const CString folder = ProgramsFolder();
    if (folder.IsEmpty())
        return false;
    CString path = folder;
    path += relativePath;
    const CA2W widePath(path, CP_ACP);

    // Load first: only a shortcut that already exists gets a new target.
    if (FAILED(file->Load(widePath, STGM_READ)))
        return false;
    if (FAILED(locator->SetURL(url, 0)))
        return false;
    return SUCCEEDED(file->Save(widePath, TRUE));
}

}  // namespace

bool CUrlShortcut::Create(const char* relativePath, const char* url)
{
    if (!relativePath || !url)
        return false;
    // RPC_E_CHANGED_MODE: the thread is in a multithreaded apartment, which serves as well.
    const CScopedCoInit com;
    if (!com.Succeeded() && com.Result() != RPC_E_CHANGED_MODE)
        return false;
    return RepointShortcut(relativePath, url);
}
