#include "CPostCancelDialog.h"

#include "CPageContext.h"
#include "ContractListPage.h"
#include "PageTexts.h"

// No browser control: the page shows its progress or result in plain controls.
CPostCancelDialog::CPostCancelDialog() : CKAVODlg(0xFFFF) {}

CPostCancelDialog::~CPostCancelDialog() = default;

void CPostCancelDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC2, "C_N02_IDC_STATIC2"},
        {IDC_BACK, "C_N02_IDC_BACK"},
        {IDC_END, "C_N02_IDC_END"},
    };
    SetPageTexts(*this, kTexts);
}

void CPostCancelDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

LRESULT CPostCancelDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    const bool wholeContract = m_context->GetValue("AN08_ORDER") == "全解約";
    CString text;
    GetExpandedText(text, wholeContract ? "C_N02_IDC_STATIC1_1" : "C_N02_IDC_STATIC1_2");
    ::SetDlgItemTextA(m_hWnd, IDC_STATIC1, text);
    return result;
}

void CPostCancelDialog::OnEnd()
{
    m_context->cleanupFlags |= CLEANUP_RUNONCE;
    GoToPage(nullptr, 0);
}

void CPostCancelDialog::OnBack()
{
    GoToPage(NewContractListPage(GetParent(), m_context), 0);
}

LRESULT CPostCancelDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CPostCancelDialog::OnEndCommand(WORD, WORD, HWND, BOOL&)
{
    OnEnd();
    return 0;
}

LRESULT CPostCancelDialog::OnBackCommand(WORD, WORD, HWND, BOOL&)
{
    OnBack();
    return 0;
}
