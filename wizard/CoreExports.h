#pragma once
// The core library's plain C exports, as the hosts bind them by name.
#include <windows.h>

extern "C" {
// rundll32 shape: writes the built-in definition text to commandLine, or to "text.def" in
// the current folder when it is empty. 0 when every byte was written.
int __cdecl KAVOCore_ExtractTextDef(HWND window, HINSTANCE instance, const char* commandLine, int showCommand);
}
