#pragma once
// The program's texts are code page 932 bytes on every machine: definitions, pages, the page
// context. Conversions to and from UTF-16 use it unless a caller holds bytes that an ANSI
// Windows call produced or will read (a path), which follow the machine's ANSI code page.
#include <windows.h>

constexpr UINT kTextCodePage = 932;
