#pragma once
// The two ways a page puts a definition text on screen: as the document of its main
// browser, or as the text of one of its controls. Both expand the text's entities through
// the page first.
#include <windows.h>

class CKAVODlgBase;

// The expanded text of key, behind the Shift_JIS line, as the main browser's document.
void WritePageHtml(CKAVODlgBase& page, const char* key);
// The expanded text of key as the text of the page's control id.
void SetPageItemText(CKAVODlgBase& page, int id, const char* key);
