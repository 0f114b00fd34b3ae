#pragma once
// Reading captured console output line by line. Lines end with CR LF or CR CR LF (netsh);
// a lone CR or LF is an ordinary character, and a trail byte of a double-byte character is
// never taken for either.
#include <cstddef>

// Copies the line that begins at cursor into line (at most lineSize - 1 bytes, the rest of a
// longer line is skipped; always NUL-terminated) and returns where the next line begins. The
// last line needs no line end. Returns null, with line empty, when cursor is at the text's end.
const char* NextOutputLine(const char* cursor, char* line, size_t lineSize);

// True when one line of the output contains needle (an empty needle matches any line).
bool AnyOutputLineContains(const char* output, const char* needle);
