#include "ExitCleanup.h"

#include "CPageContext.h"
#include "DirectoryTree.h"
#include "ProgramFolder.h"
#include "RunOnceAutorun.h"

void ExitCleanup(const char* folder, DWORD flags)
{
    if (flags & CLEANUP_DOWNLOAD_TMP)
        DeleteFileA(GetProgramFolder() + "\\download.tmp");
    if ((flags & CLEANUP_FOLDER) && folder && *folder)
        ExpandAndDeleteDirectoryTree(folder);
    if (flags & CLEANUP_RUNONCE)
        SetRunOnceAutorun(0, nullptr);
}
