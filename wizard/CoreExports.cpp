#include "CoreExports.h"

#include "CoreModule.h"

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
