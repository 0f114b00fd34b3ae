#include "CCheckComputerDialog.h"

#include "AutoFlow.h"
#include "CCheckRequirement.h"
#include "CEULADialog.h"
#include "CPageContext.h"
#include "CRegClientDialog.h"
#include "CTextDef.h"
#include "PageTexts.h"

CCheckComputerDialog::CCheckComputerDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CCheckComputerDialog::~CCheckComputerDialog() = default;

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

CWBDialog* CCheckComputerDialog::ResolvePage(HWND frame, CPageContext* context)
{
    if (!IsAutomatic(context))
        return this;
    if (!CTextDef::HasText("TWEAK_SKIP_SRCHK")) {
        // The check blocks this thread without pumping messages.
        ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
        CCheckRequirement check;
        check.Run(nullptr, context);
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        // The customer has to see what fell short.
        if (check.GetErrorCount() > 0 || check.GetWarningCount() > 0)
            return this;
    }
    const CString order = context->GetValue("AN08_ORDER");
    if (order == "新規契約" || order == "追加契約")
        return NewPageIn<CEULADialog>(frame, context);
    if (order == "インストール" || order == "再インストール")
        return NewPageIn<CRegClientDialog>(frame, context);
    return this;
}
