#pragma once
// Hosting of ActiveX controls that dialog templates name by class id: the template's control
// window creates the control and in-place activates it when the thread has COM initialised
// (without COM it stays an empty window).
#include <windows.h>
#include <unknwn.h>

// The class id that dialog templates name for the embedded web browser.
extern const char kWebBrowserClassName[];

// Makes the window classes that dialog templates use for ActiveX controls known, so a
// template that lists one can be created. Safe to call more than once.
bool AtlAxWinInit();

// The control hosted in window (AddRef'd); S_FALSE with null when it holds none.
HRESULT AtlAxGetControl(HWND window, IUnknown** control);
