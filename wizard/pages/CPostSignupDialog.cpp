#include "CPostSignupDialog.h"

#include "CErrorDialog.h"
#include "CFeeCalc.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "Entities.h"
#include "ContractFigures.h"
#include "FormatDateText.h"
#include "PageContent.h"
#include "PageFactory.h"
#include "PageTexts.h"
#include "ContractListPage.h"
#include "PrintScript.h"

#include <new>

#include "pages/CRegClientDialog.h"
#include "pages/CStatusDialog.h"

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

void CPostSignupDialog::LoadBrowserContent(WORD)
{
    const CSimpleArray<COpsAgreement>& agreements = m_context->response.agreements;
    COpsCustomerData& customer = m_context->customer;
    int found = agreements.GetSize() - 1;
    while (found >= 0 && agreements[found].SecurityID != customer.orderedSecurityID)
        --found;
    if (found < 0) {
        m_context->errorCode = "E_UNEXPECTED";
        // Handing over destroys this page, which the browser's event still runs in.
        PostMessage(WM_KAVO_PAGE, PAGECMD_SHOW_ORDER_ERROR, 0);
        return;
    }
    m_agreement = agreements[found];
    m_basicAgreement = m_agreement.AgreementID == "0";
    if (customer.selectedSerialIDs.GetSize() > 0) {
        customer.SerialID = customer.selectedSerialIDs[0];
    } else {
        const char* awaiting = m_context->GetFirstSerialAwaitingInstall();
        customer.SerialID = awaiting ? awaiting : "";
    }
    WritePageHtml(*this, "B_N06_IDC_WEBBROWSER");
}

LRESULT CPostSignupDialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != PAGECMD_SHOW_ORDER_ERROR) {
        handled = FALSE;
        return 0;
    }
    CWBDialog* errorPage = CreatePageWindow(new CErrorDialog, GetParent(), m_context);
    GoToPage(errorPage, 0);
    return 0;
}

BOOL CPostSignupDialog::ResolveEntity(CString& text)
{
    const COpsCustomerData& customer = m_context->customer;
    if (text == "&利用料;" || text == "&利用料税込み;") {
        // The ordered contract is among the active ones now.
        const int fee = GetFeeCalc().GetUnitFee(CountActiveContracts(m_context->response));
        text = FeeText(fee, text == "&利用料税込み;");
    } else if (text == "&申し込み内容;") {
        if (m_expandingElement)
            return FALSE;
        m_expandingElement = true;
        GetExpandedText(text, m_basicAgreement ? "B_N06_ELM_P1_2" : "B_N06_ELM_P1_1");
        m_expandingElement = false;
    } else if (text == "&利用開始予定日;") {
        const COpsSerialInfo* serial =
            customer.selectedSerialIDs.GetSize() > 0 ? m_context->FindSerial(customer.selectedSerialIDs[0]) : nullptr;
        text = serial ? FormatDateText(serial->ConstructionEndDate) : CString();
    } else if (text == "&ライセンスシリアル;") {
        text = BuildSerialList();
    } else {
        return CKAVODlgBase::ResolveEntity(text);
    }
    return TRUE;
}

CString CPostSignupDialog::BuildSerialList()
{
    const CString rowTemplate = CTextDef::GetText("B_N06_TMPL_SERIAL");
    CString rows;
    const CSimpleArray<CString>& selected = m_context->customer.selectedSerialIDs;
    for (int i = 0; i < selected.GetSize(); ++i) {
        CString row = rowTemplate;
        row.Replace("&SerialID;", selected[i]);
        rows += row;
    }
    return rows;
}

LRESULT CPostSignupDialog::OnPrint(WORD, WORD, HWND, BOOL&)
{
    // The print dialog would leave its own icon on the frame it is owned by.
    const bool locked = m_iconLocker.SubclassWindow(::GetAncestor(m_hWnd, GA_ROOT)) != FALSE;
    PrintOrderAcknowledgment(BuildAcknowledgmentScript());
    // Only gives the procedure back while it is still the lock's.
    if (locked)
        m_iconLocker.UnsubclassWindow();
    return 0;
}

CString CPostSignupDialog::BuildAcknowledgmentScript()
{
    const COpsCustomerData& customer = m_context->customer;
    const CSimpleArray<CString>& selected = customer.selectedSerialIDs;
    CString serials;
    for (int i = 0; i < selected.GetSize(); ++i) {
        if (i > 0)
            serials += "\\n";
        serials += selected[i];
    }
    const COpsSerialInfo* first = selected.GetSize() > 0 ? m_context->FindSerial(selected[0]) : nullptr;
    const CString date = first ? FormatDateText(first->ConstructionEndDate) : CString();

    const int fee = GetFeeCalc().GetUnitFee(CountActiveContracts(m_context->response));
    CString price;
    price.Format("%s円(税込%s円)", FormatAmount(fee, 0).GetString(), FormatAmount(fee, GetTaxRate()).GetString());

    const COpsCustomerInformation& answer = m_context->response.customerInformation;
    return BuildOrderAcknowledgmentScript(answer.VeldinCommonID, customer.AccessKey, answer.CustomerName, date,
                                          m_agreement.SecurityID, serials, price);
}

// Next and the contract list.
void CPostSignupDialog::OnNext()
{
    GoToPage(CreatePageWindow(new (std::nothrow) CRegClientDialog, GetParent(), m_context), 0);
}

void CPostSignupDialog::OnBackToContracts()
{
    GoToPage(NewContractListPage(GetParent(), m_context), 0);
}

LRESULT CPostSignupDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    OnNext();
    return 0;
}

LRESULT CPostSignupDialog::OnBackCommand(WORD, WORD, HWND, BOOL&)
{
    OnBackToContracts();
    return 0;
}
