#include "OutputLines.h"

#include <windows.h>

#include "TextSearch.h"

namespace {

// Length of the line end at p (CR LF or CR CR LF), 0 when none begins there.
size_t LineEndAt(const char* p)
{
    if (p[0] != '\r')
        return 0;
    if (p[1] == '\n')
        return 2;
    if (p[1] == '\r' && p[2] == '\n')
        return 3;
    return 0;
}

}  // namespace

const char* NextOutputLine(const char* cursor, char* line, size_t lineSize)
{
    if (lineSize)
        line[0] = '\0';
    if (!cursor || !*cursor || !lineSize)
        return nullptr;
    size_t used = 0;
    const char* p = cursor;
    while (*p) {
        if (const size_t end = LineEndAt(p)) {
            p += end;
            break;
        }
        const size_t step = (IsDBCSLeadByte(BYTE(*p)) && p[1]) ? 2 : 1;
        if (used + step < lineSize) {
            std::memcpy(line + used, p, step);
            used += step;
        }
        p += step;
    }
    line[used] = '\0';
    return p;
}

bool AnyOutputLineContains(const char* output, const char* needle)
{
    char line[1024];
    for (const char* cursor = output; (cursor = NextOutputLine(cursor, line, sizeof line));)
        if (FindText(line, needle))
            return true;
    return false;
}
