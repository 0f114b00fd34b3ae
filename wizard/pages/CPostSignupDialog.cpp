#include "CPostSignupDialog.h"

#include "PageTexts.h"

CPostSignupDialog::CPostSignupDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPostSignupDialog::~CPostSignupDialog() = default;

void CPostSignupDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_PRINT, "B_N06_IDC_PRINT"},
        {IDC_NEXT, "B_N06_IDC_NEXT"},
        {IDC_BACK, "B_N06_IDC_BACK"},
    };
    SetPageTexts(*this, kTexts);
}
