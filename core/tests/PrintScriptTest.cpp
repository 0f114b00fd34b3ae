// The order acknowledgement's script: completion with the customer's data, the interpreter
// read back from the records of an enhanced metafile, the print job's calls and what the
// print dialog hands back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CGdiObjects.h"
#include "CTextDef.h"
#include "KavoTestPaths.h"
#include "PrintScript.h"
#include "PrintSpooler.h"
#include "PrinterChoice.h"

namespace {

std::string Narrow(const wchar_t* text, int length)
{
    char buffer[1024] = {};
    const int written = ::WideCharToMultiByte(932, 0, text, length, buffer, sizeof buffer, nullptr, nullptr);
    return std::string(buffer, written > 0 ? written : 0);
}

struct TextRecord {
    std::string text;
    POINT reference;
};

// What a script drew, as the metafile recorded it (in the script's logical units).
struct Drawing {
    std::vector<DWORD> types;
    std::vector<COLORREF> brushColours;
    std::vector<LOGPEN> pens;
    std::vector<RECT> rectangles;
    std::vector<LOGFONTW> fonts;
    std::vector<COLORREF> textColours;
    std::vector<TextRecord> texts;
    std::vector<SIZE> viewportExtents;
    std::vector<POINT> viewportOrigins;
    std::vector<SIZE> windowExtents;

    bool Has(DWORD type) const
    {
        for (DWORD t : types)
            if (t == type)
                return true;
        return false;
    }
    std::string FontFace(size_t index) const
    {
        return Narrow(fonts[index].lfFaceName, int(wcslen(fonts[index].lfFaceName)));
    }
};

int CALLBACK CollectRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM param)
{
    Drawing& drawing = *reinterpret_cast<Drawing*>(param);
    drawing.types.push_back(record->iType);
    switch (record->iType) {
    case EMR_CREATEBRUSHINDIRECT:
        drawing.brushColours.push_back(reinterpret_cast<const EMRCREATEBRUSHINDIRECT*>(record)->lb.lbColor);
        break;
    case EMR_CREATEPEN:
        drawing.pens.push_back(reinterpret_cast<const EMRCREATEPEN*>(record)->lopn);
        break;
    case EMR_RECTANGLE: {
        const RECTL& box = reinterpret_cast<const EMRRECTANGLE*>(record)->rclBox;
        drawing.rectangles.push_back(RECT{box.left, box.top, box.right, box.bottom});
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW:
        drawing.fonts.push_back(reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record)->elfw.elfLogFont);
        break;
    case EMR_SETTEXTCOLOR:
        drawing.textColours.push_back(reinterpret_cast<const EMRSETTEXTCOLOR*>(record)->crColor);
        break;
    case EMR_EXTTEXTOUTW: {
        const EMREXTTEXTOUTW* out = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const wchar_t* text = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + out->emrtext.offString);
        drawing.texts.push_back({Narrow(text, int(out->emrtext.nChars)),
                                 POINT{out->emrtext.ptlReference.x, out->emrtext.ptlReference.y}});
        break;
    }
    case EMR_SETVIEWPORTEXTEX: {
        const SIZEL& size = reinterpret_cast<const EMRSETVIEWPORTEXTEX*>(record)->szlExtent;
        drawing.viewportExtents.push_back(SIZE{size.cx, size.cy});
        break;
    }
    case EMR_SETWINDOWEXTEX: {
        const SIZEL& size = reinterpret_cast<const EMRSETWINDOWEXTEX*>(record)->szlExtent;
        drawing.windowExtents.push_back(SIZE{size.cx, size.cy});
        break;
    }
    case EMR_SETVIEWPORTORGEX: {
        const POINTL& origin = reinterpret_cast<const EMRSETVIEWPORTORGEX*>(record)->ptlOrigin;
        drawing.viewportOrigins.push_back(POINT{origin.x, origin.y});
        break;
    }
    default:
        break;
    }
    return 1;
}

// A metafile DC on the screen's reference; Finish closes it and reads its records back.
class CMetafileCanvas {
public:
    CMetafileCanvas() : m_dc(::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr)) {}
    CMetafileCanvas(const CMetafileCanvas&) = delete;
    CMetafileCanvas& operator=(const CMetafileCanvas&) = delete;
    ~CMetafileCanvas()
    {
        if (m_dc)
            ::DeleteEnhMetaFile(::CloseEnhMetaFile(m_dc));
    }
    HDC Dc() const { return m_dc; }

    // The recorded metafile, which the caller deletes.
    HENHMETAFILE Close()
    {
        const HENHMETAFILE metafile = ::CloseEnhMetaFile(m_dc);
        m_dc = nullptr;
        EXPECT_NE(metafile, nullptr);
        return metafile;
    }

    Drawing Finish()
    {
        Drawing drawing;
        const HENHMETAFILE metafile = Close();
        ::EnumEnhMetaFile(nullptr, metafile, CollectRecord, &drawing, nullptr);
        ::DeleteEnhMetaFile(metafile);
        return drawing;
    }

private:
    HDC m_dc;
};

Drawing RunOnMetafile(PrintScriptState& state, const char* script)
{
    CMetafileCanvas canvas;
    EXPECT_NE(canvas.Dc(), nullptr);
    RunPrintScript(state, canvas.Dc(), script);
    return canvas.Finish();
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string RectText(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

class PrintScript : public ::testing::Test {
protected:
    void SetUp() override { CTextDef::RemoveAll(); }
    void TearDown() override { CTextDef::RemoveAll(); }
};

TEST(PrintScriptRect, PositionsResolveAgainstThePageAndThePreviousRectangle)
{
    struct Case {
        const char* fields[4];
        RECT previous;
        RECT expected;
    };
    // Page 1900 x 2770 throughout.
    const Case cases[] = {
        {{"10", "20", "30", "40"}, {5, 5, 5, 5}, {10, 20, 30, 40}},
        {{"+10", "+20", "+30", "+5"}, {0, 0, 0, 0}, {10, 20, 40, 25}},
        {{"-100", "-200", "-0", "-0"}, {0, 0, 0, 0}, {1800, 2570, 1900, 2770}},
        {{"^10", "^75", "^5", "^9"}, {50, 625, 500, 700}, {60, 700, 0, 0}},
        {{"50", "^75", "500", "+75"}, {0, 625, 10, 10}, {50, 700, 500, 775}},
        {{"^-10", "-^5", "+-5", "+"}, {100, 100, 0, 0}, {90, 2770, 85, 2770}},
        {{"abc", "12px", "", "x+3"}, {9, 9, 9, 9}, {0, 12, 0, 0}},
    };
    for (const Case& c : cases) {
        PrintScriptState state;
        state.pageWidth = 1900;
        state.pageHeight = 2770;
        state.current = c.previous;
        ResolveScriptRect(state, c.fields[0], c.fields[1], c.fields[2], c.fields[3]);
        EXPECT_TRUE(SameRect(state.current, c.expected))
            << c.fields[0] << " " << c.fields[1] << " " << c.fields[2] << " " << c.fields[3] << " gave "
            << RectText(state.current);
    }
}

TEST(PrintScriptColour, HashDigitsAreTheColourValueAndAnythingElseIsBlack)
{
    struct Case {
        const char* text;
        COLORREF expected;
    };
    const Case cases[] = {
        {"#fff", 0xffffff},   {"#ffffff", 0xffffff}, {"#123", 0x112233},   {"#112233", 0x112233},
        {"#00f", RGB(255, 0, 0)}, {"#ff0000", RGB(0, 0, 255)}, {"#AbC", 0xaabbcc}, {"#ff", 0},
        {"#fffff", 0},        {"#fffffff", 0},       {"red", 0},           {"fff", 0},
        {"", 0},              {"#1g2", 0x110022},     {"#zz11zz", 0x001100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseScriptColour(c.text), c.expected) << c.text;
}

TEST(PrintScriptText, AlignmentLettersAddTheirDrawTextFlags)
{
    const UINT base = DT_WORDBREAK | DT_NOCLIP | DT_EXTERNALLEADING | DT_NOPREFIX;
    ASSERT_EQ(base, 0xB10u);
    struct Case {
        const char* letters;
        UINT expected;
    };
    const Case cases[] = {
        {"", base},
        {"L", base},
        {"LT", base},
        {"B", base | DT_BOTTOM},
        {"C", base | DT_CENTER},
        {"M", base | DT_VCENTER},
        {"R", base | DT_RIGHT},
        {"S", base | DT_SINGLELINE},
        {"CMS", base | DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {"rcx?", base},
        {"RB S", base | DT_RIGHT | DT_BOTTOM | DT_SINGLELINE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScriptTextFlags(c.letters), c.expected) << "\"" << c.letters << "\"";
}

TEST(PrintScriptRun, FillRectAndTextDrawWithTheirColoursPensAndFonts)
{
    PrintScriptState state;
    const Drawing drawing = RunOnMetafile(state,
                                          "space 1900 2770\r\n"
                                          "fill 0 0 -0 +150 #00f\r\n"
                                          "rect 100 580 -100 +720 #0f0 4\r\n"
                                          "text 130 ^10 600 +116 #663300 44 MS \"ＭＳ ゴシック\" \"お客さまID\"\r\n");
    EXPECT_EQ(state.pageWidth, 1900);
    EXPECT_EQ(state.pageHeight, 2770);
    ASSERT_EQ(drawing.windowExtents.size(), 1u);
    EXPECT_EQ(drawing.windowExtents[0].cx, 1900);
    EXPECT_EQ(drawing.windowExtents[0].cy, 2770);

    ASSERT_EQ(drawing.brushColours.size(), 1u);
    EXPECT_EQ(drawing.brushColours[0], RGB(255, 0, 0));

    ASSERT_EQ(drawing.pens.size(), 1u);
    EXPECT_EQ(drawing.pens[0].lopnStyle, UINT(PS_SOLID));
    EXPECT_EQ(drawing.pens[0].lopnWidth.x, 4);
    EXPECT_EQ(drawing.pens[0].lopnColor, RGB(0, 255, 0));
    ASSERT_EQ(drawing.rectangles.size(), 1u);
    // The record's box includes its right and bottom edge.
    EXPECT_TRUE(SameRect(drawing.rectangles[0], RECT{100, 580, 1799, 1299})) << RectText(drawing.rectangles[0]);

    ASSERT_EQ(drawing.fonts.size(), 1u);
    EXPECT_EQ(drawing.fonts[0].lfHeight, 44);
    EXPECT_EQ(drawing.fonts[0].lfWeight, FW_NORMAL);
    EXPECT_EQ(drawing.fonts[0].lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(drawing.fonts[0].lfOutPrecision, OUT_TT_PRECIS);
    EXPECT_EQ(drawing.FontFace(0), "ＭＳ ゴシック");
    ASSERT_FALSE(drawing.textColours.empty());
    EXPECT_EQ(drawing.textColours[0], COLORREF(0x663300));
    ASSERT_EQ(drawing.texts.size(), 1u);
    EXPECT_EQ(drawing.texts[0].text, "お客さまID");
    EXPECT_TRUE(SameRect(state.current, RECT{130, 590, 600, 706})) << RectText(state.current);
}

TEST(PrintScriptRun, CaretTopFollowsTheRectangleOfThePreviousCommand)
{
    PrintScriptState state;
    const Drawing drawing = RunOnMetafile(state,
                                          "fill 0 625 10 +10 #000\n"
                                          "text 50 ^75 500 +75 #000 20 L \"Arial\" \"X\"\n");
    EXPECT_TRUE(SameRect(state.current, RECT{50, 700, 500, 775})) << RectText(state.current);
    ASSERT_EQ(drawing.texts.size(), 1u);
    EXPECT_EQ(drawing.texts[0].reference.x, 50);
    EXPECT_EQ(drawing.texts[0].reference.y, 700);
}

TEST(PrintScriptRun, BackslashNInATextDrawsTwoLines)
{
    PrintScriptState state;
    const Drawing drawing = RunOnMetafile(state, "text 0 0 1000 1000 #000 20 L \"Arial\" \"AB\\nCD\"");
    ASSERT_EQ(drawing.texts.size(), 2u);
    EXPECT_EQ(drawing.texts[0].text, "AB");
    EXPECT_EQ(drawing.texts[1].text, "CD");
    EXPECT_EQ(drawing.texts[0].reference.x, 0);
    EXPECT_EQ(drawing.texts[1].reference.x, 0);
    EXPECT_GE(drawing.texts[1].reference.y, drawing.texts[0].reference.y + 15);
}

TEST(PrintScriptRun, AlignmentPlacesOneLineInTheRectangle)
{
    struct Case {
        const char* letters;
        int minX, maxX, minY, maxY;
    };
    // "X" at height 40 in 0,0 - 1000,1000.
    const Case cases[] = {
        {"L", 0, 0, 0, 0},
        {"SCM", 450, 500, 450, 500},
        {"RBS", 950, 999, 940, 999},
        {"C", 450, 500, 0, 0},
    };
    for (const Case& c : cases) {
        PrintScriptState state;
        const std::string line = std::string("text 0 0 1000 1000 #000 40 ") + c.letters + " \"Arial\" \"X\"";
        const Drawing drawing = RunOnMetafile(state, line.c_str());
        ASSERT_EQ(drawing.texts.size(), 1u) << c.letters;
        const POINT at = drawing.texts[0].reference;
        EXPECT_TRUE(at.x >= c.minX && at.x <= c.maxX && at.y >= c.minY && at.y <= c.maxY)
            << c.letters << " drew at " << at.x << "," << at.y;
    }
}

TEST(PrintScriptRun, LinesWithAnotherCommandOrFieldCountAreSkippedWithoutMovingTheRectangle)
{
    const char* const lines[] = {
        "Fill 1 2 3 4 #fff",
        "fill 1 2 3 4",
        "fill 1 2 3 4 #fff 9",
        "rect 1 2 3 4 #fff",
        "rect 1 2 3 4 #fff 1 1",
        "text 1 2 3 4 #000 10 L \"Arial\"",
        "text 1 2 3 4 #000 10 L \"Arial\" \"a\" \"b\"",
        "TEXT 1 2 3 4 #000 10 L \"Arial\" \"a\"",
        "space 100",
        "space 100 200 300",
        "circle 1 2 3 4",
        " fill 1 2 3 4 #fff",
        "\"\"",
    };
    for (const char* line : lines) {
        PrintScriptState state;
        state.pageWidth = 300;
        state.pageHeight = 400;
        state.current = RECT{5, 6, 7, 8};
        const Drawing drawing = RunOnMetafile(state, line);
        EXPECT_TRUE(SameRect(state.current, RECT{5, 6, 7, 8})) << line << " gave " << RectText(state.current);
        EXPECT_EQ(state.pageWidth, 300) << line;
        EXPECT_EQ(state.pageHeight, 400) << line;
        EXPECT_TRUE(drawing.brushColours.empty() && drawing.pens.empty() && drawing.fonts.empty() &&
                    drawing.texts.empty() && drawing.rectangles.empty() && drawing.windowExtents.empty())
            << line;
    }
}

TEST(PrintScriptRun, EmptyLinesAndRunsOfLineEndsSeparateCommands)
{
    PrintScriptState state;
    const Drawing drawing =
        RunOnMetafile(state, "\r\n\r\nfill 0 0 1 1 #fff\n\n\r\r\nfill 0 0 2 2 #000\r\n\r\n");
    EXPECT_EQ(drawing.brushColours.size(), 2u);
    EXPECT_TRUE(SameRect(state.current, RECT{0, 0, 2, 2}));
}

TEST_F(PrintScript, CompletedScriptReplacesEachPlaceholderOnceAndCopiesValuesAsTheyStand)
{
    struct Case {
        const char* script;
        const char* name;
        const char* accessKey;
        const char* expected;
    };
    const Case cases[] = {
        {"%{CustomerID}|%{CustomerName}|%{AccessKey}|%{Date}|%{NimbralID}|%{SerialID}|%{Price}", "Name", "K1",
         "C1|Name|K1|D1|N1|S1\\nS2|P1"},
        {"text \"%{Date}\" \"%{Date}\"", "Name", "K1", "text \"D1\" \"D1\""},
        // A name that names a placeholder is printed as the name.
        {"\"%{CustomerName}\" \"%{AccessKey}\"", "\"q\" \\ %{AccessKey} %{Price} \\n end", "K1",
         "\"\"q\" \\ %{AccessKey} %{Price} \\n end\" \"K1\""},
        {"%{AccessKey}|%{CustomerName}", "%{CustomerID}", "%{CustomerName}", "%{CustomerName}|%{CustomerID}"},
        {"a \\\r\nb \\\nc", "Name", "K1", "a b c"},
        {"%{Other} % %{ %{CustomerID", "Name", "K1", "%{Other} % %{ %{CustomerID"},
        // The second byte of "ソ" is a backslash, not a line join.
        {"ソ\r\nx", "Name", "K1", "ソ\r\nx"},
        {"", "Name", "K1", ""},
    };
    for (const Case& c : cases) {
        CTextDef::SetText("ORDER_ACKNOWLEDGMENT_PRINT_SCRIPT", c.script);
        const CString built =
            BuildOrderAcknowledgmentScript("C1", c.accessKey, c.name, "D1", "N1", "S1\\nS2", "P1");
        EXPECT_EQ(std::string(built.GetString()), c.expected) << c.script;
    }
}

TEST_F(PrintScript, NameWithAnAccessKeyPlaceholderNeverPrintsTheAccessKey)
{
    CTextDef::SetText("ORDER_ACKNOWLEDGMENT_PRINT_SCRIPT",
                      "text 0 0 1000 100 #000 20 L \"Arial\" \"%{CustomerName}\"\r\n"
                      "text 0 ^100 1000 +100 #000 20 L \"Arial\" \"%{AccessKey}\"\r\n");
    const CString built = BuildOrderAcknowledgmentScript("C1", "SECRET", "A%{AccessKey}\\nB", "", "", "", "");
    PrintScriptState state;
    const Drawing drawing = RunOnMetafile(state, built);
    ASSERT_EQ(drawing.texts.size(), 3u);
    EXPECT_EQ(drawing.texts[0].text, "A%{AccessKey}");
    EXPECT_EQ(drawing.texts[1].text, "B");
    EXPECT_EQ(drawing.texts[2].text, "SECRET");
}

// Records the job's calls; the page calls answer as the case asks.
class CRecordingSpooler : public IPrintSpooler {
public:
    int startDoc = 1;
    int startPage = 1;
    int endPage = 1;
    std::string calls;
    std::string documentName;

    int StartDoc(HDC, const DOCINFOA& info) override
    {
        calls += "StartDoc ";
        documentName = info.lpszDocName ? info.lpszDocName : "";
        return startDoc;
    }
    int StartPage(HDC) override
    {
        calls += "StartPage ";
        return startPage;
    }
    int EndPage(HDC) override
    {
        calls += "EndPage ";
        return endPage;
    }
    int EndDoc(HDC) override
    {
        calls += "EndDoc ";
        return 1;
    }
    int AbortDoc(HDC) override
    {
        calls += "AbortDoc ";
        return 1;
    }
};

TEST(PrintScriptDocumentJob, FailedPageAbortsTheJobAndOnlyAStartedPageIsDrawn)
{
    struct Case {
        int startDoc, startPage, endPage;
        const char* calls;
        bool drawn;
    };
    const Case cases[] = {
        {1, 1, 1, "StartDoc StartPage EndPage EndDoc ", true},
        {1, 0, 1, "StartDoc StartPage AbortDoc ", false},
        {1, -1, 1, "StartDoc StartPage AbortDoc ", false},
        {1, 1, 0, "StartDoc StartPage EndPage AbortDoc ", true},
        {1, 1, -1, "StartDoc StartPage EndPage AbortDoc ", true},
        {0, 1, 1, "StartDoc ", false},
        {-1, 1, 1, "StartDoc ", false},
    };
    for (const Case& c : cases) {
        CRecordingSpooler spooler;
        spooler.startDoc = c.startDoc;
        spooler.startPage = c.startPage;
        spooler.endPage = c.endPage;
        PrintScriptState state;
        state.script = "space 100 100\nfill 0 0 -0 -0 #fff\n";
        CMetafileCanvas canvas;
        PrintScriptDocument(state, canvas.Dc(), RECT{100, 100, 100, 100}, &spooler);
        const Drawing drawing = canvas.Finish();
        EXPECT_EQ(spooler.calls, c.calls) << c.startDoc << " " << c.startPage << " " << c.endPage;
        EXPECT_EQ(!drawing.brushColours.empty(), c.drawn) << c.calls;
        EXPECT_EQ(spooler.documentName, "ルミオニンブラル ご注文内容のお知らせ");
    }
}

TEST(PrintScriptDocumentJob, MarginsInTenthsOfAMillimetreBecomeTheViewportInsideThePage)
{
    CRecordingSpooler spooler;
    PrintScriptState state;
    state.script = "space 1900 2770\n";
    CMetafileCanvas canvas;
    const HDC dc = canvas.Dc();
    const int width = ::GetDeviceCaps(dc, HORZRES);
    const int height = ::GetDeviceCaps(dc, VERTRES);
    // 10 mm and 20 mm in pixels, both measured along x.
    const int ten = ::MulDiv(100, width, ::GetDeviceCaps(dc, HORZSIZE) * 10);
    const int twenty = ::MulDiv(200, width, ::GetDeviceCaps(dc, HORZSIZE) * 10);
    PrintScriptDocument(state, dc, RECT{100, 200, 100, 200}, &spooler);
    EXPECT_EQ(::GetMapMode(dc), MM_TEXT);
    const Drawing drawing = canvas.Finish();

    ASSERT_FALSE(drawing.viewportOrigins.empty());
    EXPECT_NEAR(drawing.viewportOrigins[0].x, ten, 1);
    EXPECT_NEAR(drawing.viewportOrigins[0].y, twenty, 1);
    ASSERT_FALSE(drawing.viewportExtents.empty());
    EXPECT_NEAR(drawing.viewportExtents[0].cx, width - 2 * ten, 2);
    EXPECT_NEAR(drawing.viewportExtents[0].cy, height - 2 * twenty, 2);
    ASSERT_FALSE(drawing.windowExtents.empty());
    EXPECT_EQ(drawing.windowExtents[0].cx, 1900);
    EXPECT_EQ(drawing.windowExtents[0].cy, 2770);
}

TEST(PrintScriptRender, MappingIsAsItWasAfterTheScript)
{
    CMetafileCanvas canvas;
    const HDC dc = canvas.Dc();
    ::SetMapMode(dc, MM_ANISOTROPIC);
    ::SetWindowExtEx(dc, 7, 9, nullptr);
    ::SetViewportExtEx(dc, 11, 13, nullptr);
    ::SetViewportOrgEx(dc, 3, 4, nullptr);
    PrintScriptState state;
    state.script = "space 1900 2770\nfill 0 0 10 10 #000\n";
    RenderPrintScript(state, dc, RECT{50, 60, 950, 1360});

    EXPECT_EQ(::GetMapMode(dc), MM_ANISOTROPIC);
    SIZE window = {}, viewport = {};
    POINT origin = {};
    ::GetWindowExtEx(dc, &window);
    ::GetViewportExtEx(dc, &viewport);
    ::GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(window.cx, 7);
    EXPECT_EQ(window.cy, 9);
    EXPECT_EQ(viewport.cx, 11);
    EXPECT_EQ(viewport.cy, 13);
    EXPECT_EQ(origin.x, 3);
    EXPECT_EQ(origin.y, 4);
}

DWORD GlobalBlockFlags(HGLOBAL block)
{
    ::SetLastError(0);
    return ::GlobalFlags(block);
}

TEST(PrinterChoice, DialogDcAndDeviceBlocksGoWithTheChoice)
{
    PRINTDLGA pd = {};
    pd.hDC = ::CreateCompatibleDC(nullptr);
    pd.hDevMode = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(DEVMODEA));
    pd.hDevNames = ::GlobalAlloc(GMEM_MOVEABLE, 64);
    const HDC dc = pd.hDC;
    const HGLOBAL devMode = pd.hDevMode;
    const HGLOBAL devNames = pd.hDevNames;
    ASSERT_NE(GlobalBlockFlags(devMode), DWORD(GMEM_INVALID_HANDLE));
    {
        CPrinterChoice choice;
        choice.Adopt(pd);
        EXPECT_EQ(pd.hDC, nullptr);
        EXPECT_EQ(pd.hDevMode, nullptr);
        EXPECT_EQ(pd.hDevNames, nullptr);
    }
    EXPECT_EQ(::GetObjectType(dc), 0u);
    EXPECT_EQ(GlobalBlockFlags(devMode), DWORD(GMEM_INVALID_HANDLE));
    EXPECT_EQ(GlobalBlockFlags(devNames), DWORD(GMEM_INVALID_HANDLE));
}

// A DEVNAMES block: the three names one after another behind the header.
HGLOBAL MakeDevNames(const char* driver, const char* device, const char* port)
{
    const size_t driverLength = strlen(driver) + 1, deviceLength = strlen(device) + 1, portLength = strlen(port) + 1;
    const HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                                        sizeof(DEVNAMES) + driverLength + deviceLength + portLength);
    char* base = static_cast<char*>(::GlobalLock(block));
    DEVNAMES* names = reinterpret_cast<DEVNAMES*>(base);
    names->wDriverOffset = WORD(sizeof(DEVNAMES));
    names->wDeviceOffset = WORD(names->wDriverOffset + driverLength);
    names->wOutputOffset = WORD(names->wDeviceOffset + deviceLength);
    memcpy(base + names->wDriverOffset, driver, driverLength);
    memcpy(base + names->wDeviceOffset, device, deviceLength);
    memcpy(base + names->wOutputOffset, port, portLength);
    ::GlobalUnlock(block);
    return block;
}

TEST(PrinterChoice, PrinterDcComesFromTheChosenDriverAndDevice)
{
    {
        CPrinterChoice none;
        EXPECT_EQ(none.CreatePrinterDC(), nullptr);
    }
    PRINTDLGA pd = {};
    pd.hDevNames = MakeDevNames("DISPLAY", "DISPLAY", "");
    CPrinterChoice choice;
    choice.Adopt(pd);
    const CHandleT<HDC, &::DeleteDC> dc(choice.CreatePrinterDC());
    ASSERT_TRUE(bool(dc));
    EXPECT_EQ(::GetDeviceCaps(dc, TECHNOLOGY), DT_RASDISPLAY);
}

bool HasText(const Drawing& drawing, const std::string& text)
{
    for (const TextRecord& record : drawing.texts)
        if (record.text == text)
            return true;
    return false;
}

// The page's picture as a 24-bit bottom-up BMP file.
bool WriteBitmapFile(const std::string& path, const BITMAPINFOHEADER& header, const void* bits)
{
    const DWORD size = header.biSizeImage;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + size;
    const HANDLE out = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(out, &file, sizeof file, &written, nullptr) &&
              ::WriteFile(out, &header, sizeof header, &written, nullptr) &&
              ::WriteFile(out, bits, size, &written, nullptr);
    ::CloseHandle(out);
    return ok;
}

TEST_F(PrintScript, BuiltInAcknowledgementDrawsEveryValueOnAPage)
{
    ASSERT_TRUE(CTextDef::LoadFromFile(SourcePath("resources/text.def").c_str()));
    PrintScriptState state;
    state.script = BuildOrderAcknowledgmentScript("VC0001234", "AK5678", "山田太郎", "2024年05月06日", "SEC0042",
                                                  "S1111\\nS2222", "300円(税込330円)");
    // A page of 950 x 1385 pixels.
    const int width = 950, height = 1385;
    CMetafileCanvas canvas;
    RenderPrintScript(state, canvas.Dc(), RECT{20, 20, width - 20, height - 20});
    const HENHMETAFILE metafile = canvas.Close();
    Drawing drawing;
    ::EnumEnhMetaFile(nullptr, metafile, CollectRecord, &drawing, nullptr);
    EXPECT_EQ(state.pageWidth, 1900);
    EXPECT_EQ(state.pageHeight, 2770);
    for (const char* value : {"VC0001234", "AK5678", "SEC0042", "S1111", "S2222", "300円(税込330円)",
                              "お申込日：2024年05月06日", "山田太郎　様"})
        EXPECT_TRUE(HasText(drawing, value)) << value;
    EXPECT_EQ(drawing.brushColours.size(), 9u);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = DWORD((width * 3 + 3) / 4 * 4 * height);
    void* bits = nullptr;
    const CBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bool(bitmap));
    CMemoryDC memory(nullptr);
    memory.Select(bitmap);
    const RECT page = {0, 0, width, height};
    ::FillRect(memory, &page, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(::PlayEnhMetaFile(memory, metafile, &page));
    ::DeleteEnhMetaFile(metafile);
    ::GdiFlush();
    // Played into the whole bitmap (the metafile's frame is what it drew): the title bar at
    // the top, paper between the order table and the notes' bar, the foot bar at the bottom.
    EXPECT_EQ(::GetPixel(memory, width / 2, 5), COLORREF(0x663300));
    EXPECT_EQ(::GetPixel(memory, width / 2, ::MulDiv(1340, height, 2770)), RGB(255, 255, 255));
    EXPECT_EQ(::GetPixel(memory, width / 2, height - 5), COLORREF(0x663300));

    char folder[MAX_PATH] = {};
    if (::GetEnvironmentVariableA("KAVO_PRINT_GALLERY_DIR", folder, sizeof folder) > 0) {
        EXPECT_TRUE(WriteBitmapFile(std::string(folder) + "\\acknowledgement.bmp", info.bmiHeader, bits));
    }
}

}  // namespace
