#pragma once
// The header's step tiles: one letter per step of the flow, upper case for the steps
// reached so far, lower case for those still to come.
#include <windows.h>

#include "CStringT.h"

// "=" and letters replace the step string; other letters mark the first step of the string
// that matches any of them (either case) as the current one. FALSE when nothing changed.
BOOL ApplyStepLetters(CString& phase, const char* letters);

// The bitmap resource of each step letter (0 for none). Filled once by the core library's
// initialisation.
void FillStepBitmapMap();
UINT StepBitmapId(char letter);

// Draws the tiles of phase at the top-left of dc, from the bitmaps of module. Every bitmap
// is deselected and freed before the next one is loaded.
void DrawStepTiles(HDC dc, HINSTANCE module, const char* phase);
