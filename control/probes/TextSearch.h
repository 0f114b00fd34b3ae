#pragma once
// Substring search in code-page-932 text that only tries matches at character starts, so a
// trail byte (0x40..0xFC) is never the first byte of an ASCII match.
#include <windows.h>

#include <cstring>

inline const char* FindText(const char* text, const char* needle)
{
    const size_t length = std::strlen(needle);
    for (const char* p = text; *p; p += (IsDBCSLeadByte(BYTE(*p)) && p[1]) ? 2 : 1)
        if (std::strncmp(p, needle, length) == 0)
            return p;
    return length == 0 ? text : nullptr;
}
