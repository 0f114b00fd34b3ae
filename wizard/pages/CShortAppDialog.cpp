#include "CShortAppDialog.h"

#include <mshtmhst.h>

#include "CHandle.h"
#include "CPageContext.h"
#include "PageTexts.h"

CShortAppDialog::CShortAppDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortAppDialog::~CShortAppDialog() = default;

namespace {

// The markup characters of a display name; its blanks stay as they are.
CString EscapeBlockerName(const CString& name)
{
    CString escaped = name;
    escaped.Replace("&", "&amp;");
    escaped.Replace("<", "&lt;");
    escaped.Replace(">", "&gt;");
    escaped.Replace("\"", "&quot;");
    return escaped;
}

bool MetBefore(const CSimpleArray<CString>& names, int index)
{
    for (int i = 0; i < index; ++i)
        if (names[i] == names[index])
            return true;
    return false;
}

}  // namespace

BOOL CShortAppDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorCode;") {
        text = m_context->errorCode;
        return TRUE;
    }
    return CKAVODlg::ResolveEntity(text);
}

void CShortAppDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "B_E02_SOFT_2_IDC_WEBBROWSER");
    CString rowTemplate;
    GetExpandedText(rowTemplate, "B_E02_SOFT_2_TMPL_BLOCKER");

    const CSimpleArray<CString>& names = m_context->conflictLists.displayNames;
    CString rows;
    for (int i = 0; i < names.GetSize(); ++i) {
        if (MetBefore(names, i))
            continue;
        CString row = rowTemplate;
        row.Replace("&BlockerTitle;", EscapeBlockerName(names[i]));
        rows += row;
    }
    html.Replace("&BlockerList;", rows);
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);

    CHandle stop(::OpenEventA(EVENT_ALL_ACCESS, FALSE, "KAVO_OSA_EVENT_STOP"));
    if (stop)
        ::SetEvent(stop);
}

DWORD CShortAppDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CShortAppDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_E02_SOFT_2_IDC_STATIC1"},
        {IDC_STATIC2, "B_E02_SOFT_2_IDC_STATIC2"},
        {IDC_STATIC3, "B_E02_SOFT_2_IDC_STATIC3"},
        {IDC_STATIC4, "B_E02_SOFT_2_IDC_STATIC4"},
        {IDC_DEL, "B_E02_SOFT_2_IDC_DEL"},
        {ID_PAGE_CLOSE, "B_E02_SOFT_2_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CShortAppDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
