#include "CCheckComputerDialog.h"

#include "AutoFlow.h"
#include "CAtlModule.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "FormatMegabytes.h"
#include "PageTexts.h"
#include "RequirementRouting.h"

CCheckComputerDialog::CCheckComputerDialog(const SystemApiTable* api) : CKAVODlg(IDC_WEBBROWSER), m_check(api) {}

CCheckComputerDialog::~CCheckComputerDialog()
{
    if (m_noticeBrush)
        ::DeleteObject(m_noticeBrush);
    for (HBITMAP mark : m_marks)
        if (mark)
            ::DeleteObject(mark);
}

void CCheckComputerDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_START, "B_N02_IDC_START"},
        {IDC_STATIC1, "B_N02_IDC_STATIC1"},
        {IDC_STATIC2, "B_N02_IDC_STATIC2"},
        {IDC_STATIC3, "B_N02_IDC_STATIC3"},
        {IDC_STATIC4, "B_N02_IDC_STATIC4"},
        {IDC_STATIC5, "B_N02_IDC_STATIC5"},
        {IDC_STATIC6, "B_N02_IDC_STATIC6"},
        {IDC_STATIC7, "B_N02_IDC_STATIC7"},
        {IDC_STATIC8, "B_N02_IDC_STATIC8"},
        {IDC_STATIC9, "B_N02_IDC_STATIC9"},
        {IDC_STATIC10, "B_N02_IDC_STATIC10"},
        {IDC_STATIC11, "B_N02_IDC_STATIC11"},
        {IDC_STATIC12, "B_N02_IDC_STATIC12"},
        {IDC_STATIC13, "B_N02_IDC_STATIC13"},
        {IDC_STATIC14, "B_N03_IDC_STATIC14"},
    };
    SetPageTexts(*this, kTexts);
}

void CCheckComputerDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "11pt"},
        {IDC_STATIC4, "11pt"},
        {IDC_STATIC6, "11pt"},
        {IDC_STATIC8, "11pt"},
        {IDC_STATIC10, "11pt"},
        {IDC_STATIC12, "11pt"},
        {IDC_STATIC3, "9pt,MS Shell Dlg"},
        {IDC_STATIC5, "9pt,MS Shell Dlg"},
        {IDC_STATIC7, "9pt,MS Shell Dlg"},
        {IDC_STATIC9, "9pt,MS Shell Dlg"},
        {IDC_STATIC11, "9pt,MS Shell Dlg"},
        {IDC_STATIC13, "9pt,MS Shell Dlg"},
        {IDC_STATIC14, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CCheckComputerDialog::RunCheck(HWND window, CPageContext* context)
{
    // The check blocks this thread without pumping messages.
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    m_check.Run(window, context);
    m_checkRan = true;
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

CWBDialog* CCheckComputerDialog::ResolvePage(HWND frame, CPageContext* context)
{
    if (!IsAutomatic(context))
        return this;
    if (!CTextDef::HasText("TWEAK_SKIP_SRCHK")) {
        RunCheck(nullptr, context);
        // The customer has to see what fell short.
        if (m_check.GetErrorCount() > 0 || m_check.GetWarningCount() > 0)
            return this;
    }
    CWBDialog* next = NewPageAfterCheckIn(frame, context);
    return next ? next : this;
}

CString CCheckComputerDialog::FormatProcessorText(const char* name, DWORD mhz)
{
    CString text;
    text.Format("%s (%luMHz)", name, static_cast<unsigned long>(mhz));
    text.Replace("\r", " ");
    text.Replace("\n", " ");
    text.Replace("\t", " ");
    static const char* const kNoise[] = {"CPU ", "(R)", "(r)", "(TM)", "(tm)"};
    for (const char* noise : kNoise)
        text.Replace(noise, "");
    while (text.Find("  ") >= 0)
        text.Replace("  ", " ");
    text.Trim();
    return text;
}

void CCheckComputerDialog::SetMark(int id, RequirementIndex item)
{
    const LONG result = m_context->requirementResults[item];
    UINT bitmap = IDB_MARK_NOTMET;
    if (result == REQ_RESULT_WARNING)
        bitmap = IDB_MARK_WARNING;
    else if (result == REQ_RESULT_MET)
        bitmap = IDB_MARK_MET;
    HBITMAP mark = ::LoadBitmapA(AtlGetResourceInstance(), MAKEINTRESOURCEA(bitmap));
    ::SendDlgItemMessageA(m_hWnd, id, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(mark));
    // The static does not own what it shows: the mark it showed before is this page's.
    if (m_marks[item])
        ::DeleteObject(m_marks[item]);
    m_marks[item] = mark;
}

void CCheckComputerDialog::MakeNextButton()
{
    HWND button = GetDlgItem(IDC_START);
    if (!button)
        button = GetDlgItem(IDC_NEXT);
    CString text;
    GetExpandedText(text, "B_N03_IDC_NEXT");
    ::SetWindowTextA(button, text);
    ::SetWindowLongA(button, GWL_ID, IDC_NEXT);
    ::EnableWindow(button, TRUE);
    ::SetFocus(button);
}

void CCheckComputerDialog::ShowResults()
{
    ::EnableWindow(GetDlgItem(IDC_START), FALSE);
    CString os = m_check.GetOsText();
    os.Replace("Service Pack ", "SP");
    ::SetDlgItemTextA(m_hWnd, IDC_STATIC3, os);
    SetMark(IDC_MARK_OS, REQ_OS);

    ::SetDlgItemTextA(m_hWnd, IDC_STATIC5, m_check.GetBrowserVersion());
    SetMark(IDC_MARK_IE, REQ_IE);

    ::SetDlgItemTextA(m_hWnd, IDC_STATIC7, FormatMegabytes(m_check.GetSystemDriveFree()));
    SetMark(IDC_MARK_HDD, REQ_HDD);

    ::SetDlgItemTextA(m_hWnd, IDC_STATIC9, FormatProcessorText(m_check.GetCpuName(), m_check.GetCpuSpeed()));
    SetMark(IDC_MARK_CPU, REQ_CPU);

    ::SetDlgItemTextA(m_hWnd, IDC_STATIC11, FormatMegabytes(m_check.GetMemory()));
    SetMark(IDC_MARK_MEM, REQ_MEM);

    CString software;
    GetExpandedText(software, m_context->conflictLists.displayNames.GetSize() == 0 ? "B_N03_IDC_STATIC13_1"
                                                                                   : "B_N03_IDC_STATIC13_2");
    ::SetDlgItemTextA(m_hWnd, IDC_STATIC13, software);
    SetMark(IDC_MARK_APP, REQ_APP);

    ::ShowWindow(GetDlgItem(IDC_STATIC14), SW_SHOW);
    MakeNextButton();
}

void CCheckComputerDialog::OnNext()
{
    CWBDialog* next = nullptr;
    if (RouteRequirementResults(GetParent(), m_context, REQ_FLOW_NORMAL, &next))
        next = NewPageAfterCheckIn(GetParent(), m_context);
    if (next)
        GoToPage(next, 0);
}

LRESULT CCheckComputerDialog::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_STATIC14)
        return LRESULT(::GetStockObject(WHITE_BRUSH));
    if (!m_noticeBrush)
        m_noticeBrush = ::CreateSolidBrush(RGB(255, 255, 153));
    ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    return LRESULT(m_noticeBrush);
}

LRESULT CCheckComputerDialog::OnPageCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == PAGECMD_START) {
        // A wizard started at this page comes here with results that no check has set.
        if (!m_checkRan && !CTextDef::HasText("TWEAK_SKIP_SRCHK"))
            RunCheck(m_hWnd, m_context);
        ShowResults();
    } else if (wParam == 1) {
        MakeNextButton();
    } else {
        handled = FALSE;
    }
    return 0;
}

LRESULT CCheckComputerDialog::OnStartCommand(WORD, WORD, HWND, BOOL&)
{
    ShowResults();
    return 0;
}

LRESULT CCheckComputerDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    OnNext();
    return 0;
}
