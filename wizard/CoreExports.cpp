#include "CoreExports.h"

#include <commctrl.h>
#include <psapi.h>

#include <vector>

#include "CachedValues.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "CoreModule.h"
#include "PageFactory.h"
#include "ProgramFolder.h"
#include "StepBar.h"

namespace {

KAVOCoreGetPageObjectFn g_pageFactory;

// A cached value counts only as a terminated text.
bool ReadCachedText(HKEY key, const char* name, CString& text)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return false;
    std::vector<char> data(size);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS ||
        size == 0 || data[size - 1] != '\0')
        return false;
    text = data.data();
    return true;
}

}  // namespace

bool IsMainProgramName(const char* baseName)
{
    return baseName && lstrcmpiA(baseName, "kavo.exe") == 0;
}

void OverlayCachedValues()
{
    CRegKey key;
    if (!OpenCachedValuesKey(key, false))
        return;
    const CSimpleArray<CString> names = CachedValueNames();
    for (int i = 0; i < names.GetSize(); ++i) {
        CString value;
        if (ReadCachedText(key, names[i], value))
            CTextDef::SetText(names[i], value);
    }
}

KAVOCoreGetPageObjectFn GetPageFactory()
{
    return g_pageFactory;
}

extern "C" int __cdecl KAVOCore_Initialize(HostPageFactory factory)
{
    try {
        if (!CTextDef::LoadFromFile(GetProgramFolder() + "\\text.def"))
            CTextDef::LoadFromResource(CoreModule(), 3);
        char baseName[MAX_PATH] = {};
        GetModuleBaseNameA(GetCurrentProcess(), nullptr, baseName, MAX_PATH);
        if (!IsMainProgramName(baseName))
            OverlayCachedValues();
        SetHostPageFactory(factory);
        FillStepBitmapMap();
        // The progress bars of the signup, order and install pages need their class too.
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        g_pageFactory = KAVOCore_GetPageObject;
    } catch (...) {
        // Reports nothing: the texts that could be loaded stay.
    }
    return 0;
}

extern "C" int __cdecl KAVOCore_SetDomainUrl(const char* domainUrl)
{
    try {
        CString url;
        url.Format("%s", domainUrl ? domainUrl : "");
        CTextDef::SetDomainUrl(url);
    } catch (...) {
    }
    return 0;
}

extern "C" CWBDialog* __cdecl KAVOCore_GetPageObject(const char* name, HWND parent, CPageContext* context)
{
    try {
        return CreatePageObject(name, parent, context);
    } catch (...) {
        return nullptr;
    }
}

extern "C" int __cdecl KAVOCore_Finalize()
{
    return 0;
}

extern "C" int __cdecl KAVOCore_ExtractTextDef(HWND, HINSTANCE, const char* commandLine, int)
{
    HMODULE module = CoreModule();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(10));
    if (!resource)
        return 1;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return 1;
    const DWORD size = SizeofResource(module, resource);

    const char* fileName = (commandLine && *commandLine) ? commandLine : "text.def";
    HANDLE file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const bool complete = WriteFile(file, data, size, &written, nullptr) && written == size;
    CloseHandle(file);
    // A cut-off definition file would be loaded in place of the built-in text next time.
    if (!complete) {
        DeleteFileA(fileName);
        return 1;
    }
    return 0;
}
