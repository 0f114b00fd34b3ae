#include "StepBar.h"

#include <cctype>
#include <cstring>

#include "CAtlMap.h"
#include "CGdiObjects.h"

namespace {

CAtlMap<UINT, UINT>& StepMap()
{
    static CAtlMap<UINT, UINT> map;
    return map;
}

}  // namespace

BOOL ApplyStepLetters(CString& phase, const char* letters)
{
    if (!letters)
        return FALSE;
    if (letters[0] == '=') {
        phase = letters + 1;
        return TRUE;
    }
    CString set;
    for (const char* p = letters; *p; ++p)
        set += char(std::tolower(static_cast<unsigned char>(*p)));
    for (const char* p = letters; *p; ++p)
        set += char(std::toupper(static_cast<unsigned char>(*p)));
    const int current = phase.FindOneOf(set);
    if (current < 0)
        return FALSE;
    for (int i = 0; i < phase.GetLength(); ++i) {
        const unsigned char c = static_cast<unsigned char>(phase[i]);
        phase.SetAt(i, char(i <= current ? std::toupper(c) : std::tolower(c)));
    }
    return TRUE;
}

void FillStepBitmapMap()
{
    static const char kLetters[] = "lLpPcCsSiIfFaArRdDtT";
    CAtlMap<UINT, UINT>& map = StepMap();
    for (UINT i = 0; kLetters[i]; ++i)
        map.SetAt(UINT(static_cast<unsigned char>(kLetters[i])), 242 + i);
}

UINT StepBitmapId(char letter)
{
    UINT id = 0;
    StepMap().Lookup(UINT(static_cast<unsigned char>(letter)), id);
    return id;
}

void DrawStepTiles(HDC dc, HINSTANCE module, const char* phase)
{
    if (!phase)
        return;
    CMemoryDC memory(dc);
    if (!memory)
        return;
    int x = 0;
    for (const char* p = phase; *p; ++p) {
        const UINT id = StepBitmapId(*p);
        if (!id)
            continue;
        CBitmap tile;
        if (!tile.LoadBitmap(module, id))
            continue;
        const SIZE size = tile.GetSize();
        // Put back before the tile goes: a selected bitmap cannot be deleted.
        HGDIOBJ previous = ::SelectObject(memory, tile);
        ::BitBlt(dc, x, 0, size.cx, size.cy, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, previous);
        x += size.cx;
    }
}
