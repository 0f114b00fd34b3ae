#include "CStartDialog.h"

#include <new>

#include "CPageContext.h"
#include "PageContent.h"
#include "PageFactory.h"
#include "PageTexts.h"
#include "ContractListPage.h"
#include "pages/CCheckComputerDialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CStatusDialog.h"

namespace {

// The definition key of the heading for the flow in the context; null for no heading.
const char* HeadingKey(CPageContext& context)
{
    const CString order = context.GetValue("AN08_ORDER");
    context.SetValue("AN08_ORDER", order);
    // The first listed contract is the customer's own when the SecurityIDs match; an empty
    // list has none, which gives the heading for another contract.
    const bool ownContract = context.response.agreements.GetSize() > 0 &&
                             context.response.agreements[0].SecurityID == context.customer.SecurityID;
    if (order == "新規契約")
        return "B_N01_IDC_STATIC1_1";
    if (order == "追加契約")
        return "B_N01_IDC_STATIC1_3";
    if (order == "インストール")
        return ownContract ? "B_N01_IDC_STATIC1_2" : "B_N01_IDC_STATIC1_3";
    if (order == "再インストール")
        return ownContract ? "B_N01_IDC_STATIC1_4" : "B_N01_IDC_STATIC1_5";
    return nullptr;
}

}  // namespace

CStartDialog::CStartDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CStartDialog::~CStartDialog() = default;

void CStartDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC2, "B_N01_IDC_STATIC2"},
        {IDC_NEXT, "B_N01_IDC_NEXT"},
        {IDC_BACK, "B_N01_IDC_BACK"},
    };
    SetPageTexts(*this, kTexts);
}

void CStartDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CStartDialog::LoadBrowserContent(WORD)
{
    WritePageHtml(*this, "B_N01_IDC_WEBBROWSER");
}

LRESULT CStartDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    if (const char* key = HeadingKey(*m_context)) {
        CString heading;
        GetExpandedText(heading, key);
        ::SetDlgItemTextA(m_hWnd, IDC_STATIC1, heading);
    }
    return result;
}

LRESULT CStartDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CStartDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(CreatePageWindow(new (std::nothrow) CCheckComputerDialog, GetParent(), m_context), 0);
    return 0;
}

LRESULT CStartDialog::OnBackCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(NewContractListPage(GetParent(), m_context), 0);
    return 0;
}
