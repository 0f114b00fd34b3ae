#pragma once
#include <windows.h>

// The class id that dialog templates name for the embedded web browser.
extern const char kWebBrowserClassName[];

// Makes the window classes that dialog templates use for ActiveX controls known, so a
// template that lists one can be created. Safe to call more than once.
bool AtlAxWinInit();
