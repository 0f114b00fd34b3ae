#pragma once
// Copies into the fixed text fields of the state block. Texts are cut whole characters at a
// time, so a double-byte character is never split at the end of a field.
#include <windows.h>

#include <cstring>

// Copies at most size - 1 bytes of source and ends with NUL; returns false when it had to cut.
inline bool CopyBounded(char* target, size_t size, const char* source)
{
    size_t used = 0;
    for (const char* p = source; *p;) {
        const size_t step = (IsDBCSLeadByte(BYTE(*p)) && p[1]) ? 2 : 1;
        if (used + step >= size) {
            target[used] = '\0';
            return false;
        }
        std::memcpy(target + used, p, step);
        used += step;
        p += step;
    }
    target[used] = '\0';
    return true;
}

template <size_t N>
bool CopyBounded(char (&target)[N], const char* source)
{
    return CopyBounded(target, N, source);
}

// Appends within the field; false, and the field unchanged, when the whole text does not fit.
template <size_t N>
bool AppendBounded(char (&target)[N], const char* source)
{
    const size_t used = std::strlen(target);
    if (used + std::strlen(source) >= N)
        return false;
    std::strcpy(target + used, source);
    return true;
}
