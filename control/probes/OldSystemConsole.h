#pragma once
// Windows 98/ME start console tools in a console of their own that shows in front of the
// browser; the control gives the process a console first and hides its window.

// Frees the process's console, allocates a new one, yields once and hides the top-level
// window titled "IEXPLORE".
void PrepareConsole();
void ReleaseConsole();
