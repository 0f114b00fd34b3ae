#include "CEULADialog.h"

#include <mshtmhst.h>

#include "CPageContext.h"
#include "HttpGetAsync.h"
#include "PageTexts.h"

CEULADialog::CEULADialog() : CKAVODlg(IDC_WEBBROWSER) {}

CEULADialog::~CEULADialog() = default;

DWORD CEULADialog::GetHostFlags()
{
    // The terms are long and selectable, inside a border.
    return DOCHOSTUIFLAG_THEME;
}

void CEULADialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N04_IDC_STATIC1"},
        {IDC_STATIC2, "B_N04_IDC_STATIC2"},
        {IDC_STATIC3, "B_N04_IDC_STATIC3"},
        {IDC_AGREE, "B_N04_IDC_AGREE"},
        {IDC_DISAGREE, "B_N04_IDC_DISAGREE"},
        {IDC_REFRESH, "B_N04_IDC_REFRESH"},
        {ID_PAGE_CLOSE, "B_N04_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CEULADialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CEULADialog::SendStatistics()
{
    CTraceLog& log = m_context->traceLog;
    const bool tracing = !log.GetPattern().IsEmpty();
    if (tracing)
        log.WriteLine("統計情報スレッド開始(W_E14_2：同期)");
    CString url;
    GetExpandedText(url, "TRACE_URI_B_N04_2");
    HttpGetAsync(url, true);
    if (tracing)
        log.WriteLine("統計情報スレッド完了(W_E14_2)");
}
