#include "COPSProgressDialog.h"

#include "PageTexts.h"

// No browser control: the page shows its progress or result in plain controls.
COPSProgressDialog::COPSProgressDialog() : CKAVODlg(0xFFFF) {}

COPSProgressDialog::~COPSProgressDialog() = default;

void COPSProgressDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
