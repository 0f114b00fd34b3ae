#include "LauncherBlock.h"

#include <cstring>

#include "CPageContext.h"

namespace {
HANDLE g_parentMapping;
const BYTE* g_parentView;
}  // namespace

const BYTE* OpenParentParams(DWORD access)
{
    if (g_parentView)
        return nullptr;
    if (!g_parentMapping)
        g_parentMapping = OpenFileMappingA(access, FALSE, "TOSKPARAMS_FILEMAPPINGOBJECT");
    if (!g_parentMapping)
        return nullptr;
    g_parentView = static_cast<const BYTE*>(MapViewOfFile(g_parentMapping, access, 0, 0, LAUNCHER_BLOCK_SIZE));
    return g_parentView;
}

void CloseParentParams()
{
    if (g_parentView)
        UnmapViewOfFile(g_parentView);
    g_parentView = nullptr;
    if (g_parentMapping)
        CloseHandle(g_parentMapping);
    g_parentMapping = nullptr;
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
