#pragma once
// The clipboard's CF_TEXT as the filtered edit fields paste it.
#include "CStringT.h"

// Empty when the clipboard cannot be opened or holds no text.
CString GetClipboardText();
