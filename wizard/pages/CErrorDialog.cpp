#include "CErrorDialog.h"

#include "PageTexts.h"

CErrorDialog::CErrorDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CErrorDialog::~CErrorDialog() = default;

void CErrorDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {ID_PAGE_CLOSE, "ERR_IDCLOSE"},
        {IDC_BACK, "ERR_IDC_BACK"},
        {IDC_RETRY, "ERR_IDC_RETRY"},
    };
    SetPageTexts(*this, kTexts);
}
