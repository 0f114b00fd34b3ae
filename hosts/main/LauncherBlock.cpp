#include "LauncherBlock.h"

#include <cstring>

#include "CHandle.h"
#include "CMappedView.h"
#include "CPageContext.h"

namespace {
// Owned here until CloseParentParams, or the program's end.
CHandle g_parentMapping;
CMappedView g_parentView;
}  // namespace

const BYTE* OpenParentParams(DWORD access)
{
    if (g_parentView)
        return nullptr;
    if (!g_parentMapping)
        g_parentMapping.Attach(OpenFileMappingA(access, FALSE, "TOSKPARAMS_FILEMAPPINGOBJECT"));
    if (!g_parentMapping)
        return nullptr;
    g_parentView.Attach(MapViewOfFile(g_parentMapping, access, 0, 0, LAUNCHER_BLOCK_SIZE));
    return static_cast<const BYTE*>(g_parentView.Get());
}

void CloseParentParams()
{
    g_parentView.Close();
    g_parentMapping.Close();
}

CString ReadLauncherText(const BYTE* block, size_t offset, size_t fieldSize)
{
    const char* field = reinterpret_cast<const char*>(block + offset);
    const void* nul = std::memchr(field, '\0', fieldSize);
    const size_t length = nul ? size_t(static_cast<const char*>(nul) - field) : fieldSize;
    return CString(field, int(length));
}

void ApplyLauncherBlock(CPageContext& context, const BYTE* block)
{
    context.customer.VeldinCommonID =
        ReadLauncherText(block, LAUNCHER_CUSTOMER_ID_OFFSET, LAUNCHER_ACCESS_KEY_OFFSET - LAUNCHER_CUSTOMER_ID_OFFSET);
    context.customer.AccessKey =
        ReadLauncherText(block, LAUNCHER_ACCESS_KEY_OFFSET, LAUNCHER_MODE_OFFSET - LAUNCHER_ACCESS_KEY_OFFSET);
    const CString mode = ReadLauncherText(block, LAUNCHER_MODE_OFFSET, LAUNCHER_QUIET_OFFSET - LAUNCHER_MODE_OFFSET);
    if (mode == "osa1")
        context.runMode = RUNMODE_OSA1;
    else if (mode == "osa2")
        context.runMode = RUNMODE_OSA2;
}
