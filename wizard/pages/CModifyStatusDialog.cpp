#include "CModifyStatusDialog.h"

#include <mshtmhst.h>

#include "PageTexts.h"

CModifyStatusDialog::CModifyStatusDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CModifyStatusDialog::~CModifyStatusDialog() = default;

DWORD CModifyStatusDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CModifyStatusDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "A_N08_IDC_STATIC1"},
        {IDC_STATIC2, "A_N08_IDC_STATIC2"},
        {IDC_STATIC3, "A_N08_IDC_STATIC3"},
        {IDC_STATIC4, "A_N08_IDC_STATIC4"},
        {IDC_STATIC5, "A_N08_IDC_STATIC5_1"},
        {IDC_STATIC6, "A_N08_IDC_STATIC6_1"},
        {IDC_STATIC10, "A_N08_2_IDC_STATIC10"},
        {IDC_DEL, "A_N08_2_IDC_DEL"},
        {IDC_BACK, "A_N08_2_IDC_BACK"},
    };
    SetPageTexts(*this, kTexts);
}
