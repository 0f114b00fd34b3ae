#include "CShortHDDDialog.h"

#include <mshtmhst.h>

#include "CPageContext.h"
#include "DiskSpace.h"
#include "PageTexts.h"
#include "RequirementRouting.h"

CShortHDDDialog::CShortHDDDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortHDDDialog::~CShortHDDDialog() = default;

BOOL CShortHDDDialog::ResolveEntity(CString& text)
{
    if (text == "&RequiredSystemDiskSpace;") {
        text.Format("%d", int(m_context->diskFigures[1]));
        return TRUE;
    }
    if (text == "&RequiredInstallDiskSpace;") {
        text.Format("%d", int(m_context->diskFigures[2]));
        return TRUE;
    }
    return CKAVODlg::ResolveEntity(text);
}

void CShortHDDDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "B_E02_HDD_2_IDC_WEBBROWSER");
    CString rowTemplate;
    GetExpandedText(rowTemplate, "B_E02_HDD_2_TMPL_DRIVE");

    // The mask has a bit for every letter A to Z.
    CString rows;
    const DWORD mask = m_context->diskFigures[0];
    for (int drive = 0; drive < 26; ++drive) {
        if (!(mask & (DWORD(1) << drive)))
            continue;
        const char letter[] = {char('A' + drive), '\0'};
        const char root[] = {letter[0], ':', '\\', '\0'};
        ULONGLONG freeToCaller = 0;
        ULONGLONG total = 0;
        if (!QueryDiskSpace(root, &freeToCaller, &total))
            continue;
        CString row = rowTemplate;
        row.Replace("&DriveLetter;", letter);
        row.Replace("&Total;", FormatDriveSize(total));
        row.Replace("&Available;", FormatDriveSize(freeToCaller));
        rows += row;
    }
    // The code first: the rows are not scanned again.
    html.Replace("&ErrorCode;", m_context->errorCode.IsEmpty() ? CString("EXG0000") : m_context->errorCode);
    html.Replace("&AvailableDrives;", rows);
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

DWORD CShortHDDDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CShortHDDDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_E02_HDD_2_IDC_STATIC1"},
        {IDC_STATIC2, "B_E02_HDD_2_IDC_STATIC2"},
        {IDC_STATIC3, "B_E02_HDD_2_IDC_STATIC3"},
        {IDC_STATIC4, "B_E02_HDD_2_IDC_STATIC4"},
        {IDC_STATIC5, "B_E02_HDD_2_IDC_STATIC5"},
        {IDC_NEXT, "B_E02_HDD_2_IDC_NEXT"},
        {ID_PAGE_CLOSE, "B_E02_HDD_2_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CShortHDDDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CShortHDDDialog::OnShortfallNext()
{
    if (CWBDialog* next = NewPageAfterCheckIn(GetParent(), m_context))
        GoToPage(next, 0);
}

LRESULT CShortHDDDialog::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_STATIC4)
        ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
    handled = FALSE;
    return 0;
}

LRESULT CShortHDDDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    OnShortfallNext();
    return 0;
}
