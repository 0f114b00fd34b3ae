#pragma once
// The module whose resources (dialog templates, bitmaps) this module's windows use. Each
// deliverable links its own copy, so the core library's pages load from the core library.
#include <windows.h>

HINSTANCE AtlGetResourceInstance();
HINSTANCE AtlSetResourceInstance(HINSTANCE instance);
