#pragma once
// The launching tool's shared block, "TOSKPARAMS_FILEMAPPINGOBJECT": present only when the
// tool started this program.
#include <windows.h>

#include "CStringT.h"

struct CPageContext;

// Maps a read view of the block; null when there is no block, mapping failed, or a view is
// already mapped. The view stays until CloseParentParams.
const BYTE* OpenParentParams(DWORD access);
void CloseParentParams();

// The NUL-terminated text of a field, never read past the field's own bytes.
CString ReadLauncherText(const BYTE* block, size_t offset, size_t fieldSize);

// Customer id and access key from the block; the run mode when the block says osa1 or osa2.
void ApplyLauncherBlock(CPageContext& context, const BYTE* block);
