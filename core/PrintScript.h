#pragma once
// The order acknowledgement: a small drawing script (ORDER_ACKNOWLEDGMENT_PRINT_SCRIPT)
// completed with the customer's data and drawn as one printed page.
//
// Script lines (runs of CR and LF separate them, empty ones are skipped), fields split as a
// command line, the command compared case-sensitively and run only with its exact count:
//   space width height
//   fill  left top right bottom colour
//   rect  left top right bottom colour penWidth
//   text  left top right bottom colour fontHeight alignment faceName text
// Inside a line backslash + "n" is a line break of the drawn text.
#include <windows.h>

#include "CStringT.h"

class IPrintSpooler;

struct PrintScriptState {
    // The logical page size, 0 until a "space" command sets it.
    int pageWidth = 0;
    int pageHeight = 0;
    CString script;
    // Left as the last drawing command resolved it; the "^" positions start from it.
    RECT current = {0, 0, 0, 0};
};

// The definition text with its backslash line joins removed and each placeholder replaced
// by its value in one pass: a value is copied as it stands and never searched again.
CString BuildOrderAcknowledgmentScript(const char* customerId, const char* accessKey, const char* customerName,
                                       const char* date, const char* nimbralId, const char* serialId,
                                       const char* price);

// Lets the user choose a printer (the dialog owned by the active window) and prints script
// as one page with margins of 10 mm. Nothing is printed when the user cancels; failures
// print less or nothing and are not reported.
void PrintOrderAcknowledgment(const char* script);

// One document of one page on a printer DC; margins in tenths of a millimetre. A page that
// does not start or end aborts the job. spooler null: the system's spooler calls.
void PrintScriptDocument(PrintScriptState& state, HDC dc, const RECT& margins, IPrintSpooler* spooler = nullptr);

// Runs state.script scaled (keeping its aspect ratio) onto printable, in device units; the
// mapping of dc is as it was afterwards.
void RenderPrintScript(PrintScriptState& state, HDC dc, const RECT& printable);

// The interpreter: draws every line of script on dc in the current mapping.
void RunPrintScript(PrintScriptState& state, HDC dc, const char* script);

// Resolves the four position fields against the page and state.current, and makes the
// result the current rectangle.
void ResolveScriptRect(PrintScriptState& state, const char* left, const char* top, const char* right,
                       const char* bottom);

// "#rgb" or "#rrggbb" read as the colour value 0x00BBGGRR itself; anything else is black,
// and digits that can't be read count as 0.
COLORREF ParseScriptColour(const char* text);

// The DrawText flags of a "text" line's alignment letters.
UINT ScriptTextFlags(const char* letters);
