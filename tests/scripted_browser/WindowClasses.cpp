#include "WindowClasses.h"

#include <initializer_list>

namespace scripted {

const char kShellEmbeddingClass[] = "Shell Embedding";
const char kDocumentWindowClass[] = "Internet Explorer_Server";
const char kTaskQueueClass[] = "KavoScriptedBrowserQueue";

HINSTANCE ModuleInstance()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&ModuleInstance), &module);
    return module;
}

bool EnsureWindowClass(const char* name, WNDPROC proc)
{
    WNDCLASSEXA existing = {sizeof existing};
    if (::GetClassInfoExA(ModuleInstance(), name, &existing))
        return true;
    WNDCLASSEXA windowClass = {sizeof windowClass};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = name;
    return ::RegisterClassExA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void UnregisterWindowClasses()
{
    for (const char* name : {kShellEmbeddingClass, kDocumentWindowClass, kTaskQueueClass})
        ::UnregisterClassA(name, ModuleInstance());
}

}  // namespace scripted
