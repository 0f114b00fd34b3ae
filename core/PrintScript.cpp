#include "PrintScript.h"

#include <cstdlib>
#include <cstring>

#include "CGdiObjects.h"
#include "CTextDef.h"
#include "CommandLineSplitter.h"
#include "PrintSpooler.h"
#include "PrinterChoice.h"

namespace {

const char kDocumentName[] = "ルミオニンブラル ご注文内容のお知らせ";

// Base flags of every "text" line: wrapped, unclipped, with the font's leading, "&" as is.
const UINT kTextFlags = DT_WORDBREAK | DT_NOCLIP | DT_EXTERNALLEADING | DT_NOPREFIX;

// Page arithmetic wraps as the 32-bit values it works on instead of overflowing.
int Sum(int a, int b)
{
    return int(unsigned(a) + unsigned(b));
}

int Difference(int a, int b)
{
    return int(unsigned(a) - unsigned(b));
}

// A left or top position: plain, "+" (the same), "-" from the page's far edge, "^" after the
// previous one.
int ResolveStart(const char* field, int page, int previous)
{
    switch (field[0]) {
    case '+':
        return std::atoi(field + 1);
    case '-':
        return Difference(page, std::atoi(field + 1));
    case '^':
        return Sum(previous, std::atoi(field + 1));
    default:
        return std::atoi(field);
    }
}

// A right or bottom position: plain, "+" a size after start, "-" from the far edge, "^" 0.
int ResolveEnd(const char* field, int page, int start)
{
    switch (field[0]) {
    case '+':
        return Sum(start, std::atoi(field + 1));
    case '-':
        return Difference(page, std::atoi(field + 1));
    case '^':
        return 0;
    default:
        return std::atoi(field);
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

void FillCommand(PrintScriptState& state, HDC dc, char** field)
{
    ResolveScriptRect(state, field[1], field[2], field[3], field[4]);
    const CBrush brush(::CreateSolidBrush(ParseScriptColour(field[5])));
    if (brush)
        ::FillRect(dc, &state.current, brush);
}

void RectCommand(PrintScriptState& state, HDC dc, char** field)
{
    ResolveScriptRect(state, field[1], field[2], field[3], field[4]);
    const CPen pen(::CreatePen(PS_SOLID, std::atoi(field[6]), ParseScriptColour(field[5])));
    if (!pen)
        return;
    const HGDIOBJ oldPen = ::SelectObject(dc, pen);
    const HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    const RECT& r = state.current;
    ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
}

void TextCommand(PrintScriptState& state, HDC dc, char** field)
{
    ResolveScriptRect(state, field[1], field[2], field[3], field[4]);
    const CFont font(::CreateFontA(std::atoi(field[6]), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_TT_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, field[8]));
    if (!font)
        return;
    const UINT flags = ScriptTextFlags(field[7]);
    const HGDIOBJ oldFont = ::SelectObject(dc, font);
    const COLORREF oldColour = ::SetTextColor(dc, ParseScriptColour(field[5]));
    RECT r = state.current;
    ::DrawTextA(dc, field[9], int(std::strlen(field[9])), &r, flags);
    ::SetTextColor(dc, oldColour);
    ::SelectObject(dc, oldFont);
}

void RunLine(PrintScriptState& state, HDC dc, CommandLineSplitter& splitter, CString line)
{
    line.Replace("\\n", "\r\n");
    const int count = splitter.Split(line);
    if (count == 0)
        return;
    char** field = splitter.GetArgv();
    const char* command = field[0];
    if (std::strcmp(command, "space") == 0 && count == 3) {
        state.pageWidth = std::atoi(field[1]);
        state.pageHeight = std::atoi(field[2]);
        ::SetWindowExtEx(dc, state.pageWidth, state.pageHeight, nullptr);
    } else if (std::strcmp(command, "fill") == 0 && count == 6) {
        FillCommand(state, dc, field);
    } else if (std::strcmp(command, "rect") == 0 && count == 7) {
        RectCommand(state, dc, field);
    } else if (std::strcmp(command, "text") == 0 && count == 10) {
        TextCommand(state, dc, field);
    }
}

struct Placeholder {
    const char* name;
    const char* value;
};

}  // namespace

CString BuildOrderAcknowledgmentScript(const char* customerId, const char* accessKey, const char* customerName,
                                       const char* date, const char* nimbralId, const char* serialId,
                                       const char* price)
{
    CString script = CTextDef::GetText("ORDER_ACKNOWLEDGMENT_PRINT_SCRIPT");
    script.Replace("\\\r\n", "");
    script.Replace("\\\n", "");

    const Placeholder placeholders[] = {
        {"%{CustomerID}", customerId}, {"%{CustomerName}", customerName}, {"%{AccessKey}", accessKey},
        {"%{Date}", date},             {"%{NimbralID}", nimbralId},       {"%{SerialID}", serialId},
        {"%{Price}", price},
    };
    CString completed;
    const char* text = script.GetString();
    const char* copied = text;
    for (const char* p = text; *p;) {
        const Placeholder* match = nullptr;
        if (*p == '%') {
            for (const Placeholder& placeholder : placeholders) {
                if (std::strncmp(p, placeholder.name, std::strlen(placeholder.name)) == 0) {
                    match = &placeholder;
                    break;
                }
            }
        }
        if (!match) {
            p += ::IsDBCSLeadByte(BYTE(*p)) && p[1] ? 2 : 1;
            continue;
        }
        completed.Append(copied, int(p - copied));
        completed.Append(match->value ? match->value : "");
        p += std::strlen(match->name);
        copied = p;
    }
    completed.Append(copied);
    return completed;
}

void PrintOrderAcknowledgment(const char* script)
{
    CPrinterChoice printer;
    if (!printer.Show(::GetActiveWindow()))
        return;
    const CHandleT<HDC, &::DeleteDC> dc(printer.CreatePrinterDC());
    if (!dc)
        return;
    PrintScriptState state;
    state.script = script;
    const RECT margins = {100, 100, 100, 100};
    PrintScriptDocument(state, dc, margins);
}

void PrintScriptDocument(PrintScriptState& state, HDC dc, const RECT& margins, IPrintSpooler* spooler)
{
    IPrintSpooler& jobs = spooler ? *spooler : GetSystemPrintSpooler();
    const int width = ::GetDeviceCaps(dc, HORZRES);
    const int height = ::GetDeviceCaps(dc, VERTRES);

    // Every margin is measured along x: the device's pixels need not be square, the page's
    // margins are.
    const int oldMode = ::SetMapMode(dc, MM_LOMETRIC);
    POINT points[5] = {{0, 0}, {margins.left, 0}, {margins.top, 0}, {margins.right, 0}, {margins.bottom, 0}};
    ::LPtoDP(dc, points, 5);
    ::SetMapMode(dc, oldMode);
    const int left = std::abs(points[1].x - points[0].x);
    const int top = std::abs(points[2].x - points[0].x);
    const int right = std::abs(points[3].x - points[0].x);
    const int bottom = std::abs(points[4].x - points[0].x);
    const RECT printable = {left, top, width - right, height - bottom};

    DOCINFOA info = {};
    info.cbSize = sizeof info;
    info.lpszDocName = kDocumentName;
    if (jobs.StartDoc(dc, info) <= 0)
        return;
    // A job left open would hold the printer's queue until the process ends.
    if (jobs.StartPage(dc) <= 0) {
        jobs.AbortDoc(dc);
        return;
    }
    RenderPrintScript(state, dc, printable);
    if (jobs.EndPage(dc) <= 0) {
        jobs.AbortDoc(dc);
        return;
    }
    jobs.EndDoc(dc);
}

void RenderPrintScript(PrintScriptState& state, HDC dc, const RECT& printable)
{
    // Taken before the mode changes: entering MM_ISOTROPIC resets both extents.
    SIZE oldWindow = {};
    ::GetWindowExtEx(dc, &oldWindow);
    SIZE oldViewport = {};
    ::GetViewportExtEx(dc, &oldViewport);
    POINT oldOrigin = {};
    ::GetViewportOrgEx(dc, &oldOrigin);
    const int oldMode = ::SetMapMode(dc, MM_ISOTROPIC);
    ::SetViewportExtEx(dc, printable.right - printable.left, printable.bottom - printable.top, nullptr);
    ::SetViewportOrgEx(dc, printable.left, printable.top, nullptr);

    RunPrintScript(state, dc, state.script);

    // The mode first: in an isotropic mode the extents would be adjusted to each other.
    ::SetMapMode(dc, oldMode);
    ::SetWindowExtEx(dc, oldWindow.cx, oldWindow.cy, nullptr);
    ::SetViewportExtEx(dc, oldViewport.cx, oldViewport.cy, nullptr);
    ::SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

void RunPrintScript(PrintScriptState& state, HDC dc, const char* script)
{
    ::SetBkMode(dc, TRANSPARENT);
    CommandLineSplitter splitter;
    const char* p = script ? script : "";
    while (*p) {
        const char* end = p + std::strcspn(p, "\r\n");
        if (end != p)
            RunLine(state, dc, splitter, CString(p, int(end - p)));
        p = end + std::strspn(end, "\r\n");
    }
}

void ResolveScriptRect(PrintScriptState& state, const char* left, const char* top, const char* right,
                       const char* bottom)
{
    RECT& r = state.current;
    r.left = ResolveStart(left, state.pageWidth, r.left);
    r.top = ResolveStart(top, state.pageHeight, r.top);
    r.right = ResolveEnd(right, state.pageWidth, r.left);
    r.bottom = ResolveEnd(bottom, state.pageHeight, r.top);
}

COLORREF ParseScriptColour(const char* text)
{
    const size_t length = std::strlen(text);
    if (text[0] != '#' || (length != 4 && length != 7))
        return 0;
    COLORREF value = 0;
    for (size_t i = 1; i < length; ++i) {
        const int digit = HexDigit(text[i]);
        value = value << 4 | COLORREF(digit);
        if (length == 4)
            value = value << 4 | COLORREF(digit);
    }
    return value;
}

UINT ScriptTextFlags(const char* letters)
{
    UINT flags = kTextFlags;
    for (const char* p = letters; *p; ++p) {
        switch (*p) {
        case 'B':
            flags |= DT_BOTTOM;
            break;
        case 'C':
            flags |= DT_CENTER;
            break;
        case 'M':
            flags |= DT_VCENTER;
            break;
        case 'R':
            flags |= DT_RIGHT;
            break;
        case 'S':
            flags |= DT_SINGLELINE;
            break;
        default:
            break;
        }
    }
    return flags;
}
