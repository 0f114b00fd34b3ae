#include "ProgramFolder.h"

CString GetProgramFolder()
{
    CString path;
    char* buffer = path.GetBuffer(MAX_PATH);
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    path.ReleaseBuffer(length < MAX_PATH ? int(length) : 0);
    const int slash = path.ReverseFind('\\');
    return slash >= 0 ? path.Left(slash) : CString();
}
