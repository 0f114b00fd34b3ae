#include "CModifyStatusDialog.h"

#include <mshtmhst.h>

#include "CFeeCalc.h"
#include "CPageContext.h"
#include "ContractFigures.h"
#include "Entities.h"
#include "FormatDateText.h"
#include "PageContent.h"
#include "PageTexts.h"
#include "pages/CStatusDialog.h"

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

void CModifyStatusDialog::LoadBrowserContent(WORD)
{
    const COpsResponse& response = m_context->response;
    m_activeContracts = CountActiveContracts(response);
    m_liveSerials = CountLiveSerials(response);

    const char* feeKey = "A_N08_IDC_STATIC5_1";
    const char* countKey = "A_N08_IDC_STATIC6_1";
    if (m_activeContracts > 0) {
        if (GetFeeCalc().GetTotalFee(m_context->customer.BasicSerialCount) >= 1)
            feeKey = "A_N08_IDC_STATIC5_2";
        if (m_activeContracts != 1)
            countKey = "A_N08_IDC_STATIC6_2";
    }
    SetPageItemText(*this, IDC_STATIC5, feeKey);
    SetPageItemText(*this, IDC_STATIC6, countKey);
    SetPageItemText(*this, IDC_STATIC10, "A_N08_2_IDC_STATIC10");

    m_expandingHtml = true;
    CString html;
    GetExpandedText(html, "A_N08_2_IDC_WEBBROWSER");
    m_expandingHtml = false;
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

BOOL CModifyStatusDialog::ResolveEntity(CString& text)
{
    const COpsCustomerInformation& customer = m_context->response.customerInformation;
    if (text == "&CustomerID;") {
        text = m_expandingHtml ? HtmlEscape(customer.VeldinCommonID) : customer.VeldinCommonID;
    } else if (text == "&CustomerName;") {
        text = m_expandingHtml ? HtmlEscape(customer.CustomerName) : customer.CustomerName;
    } else if (text == "&LicenseSerialStatus;") {
        if (m_buildingList)
            return FALSE;
        text = BuildSerialList();
    } else {
        const ContractFigures figures = {m_activeContracts, m_liveSerials, int(m_context->customer.BasicSerialCount)};
        if (!ResolveContractEntity(text, figures, true))
            return CKAVODlgBase::ResolveEntity(text);
    }
    return TRUE;
}

namespace {

struct CancelRow {
    const COpsSerialInfo* serial;
    int index;
};

BOOL ResolveCancelRowToken(void* context, CString& token)
{
    const CancelRow& row = *static_cast<const CancelRow*>(context);
    if (token == "&SerialID;")
        token = row.serial->SerialID;
    else if (token == "&NickName;")
        token = HtmlEscape(row.serial->NickName);
    else if (token == "&利用開始日;")
        token = FormatDateText(row.serial->ConstructionEndDate);
    else if (token == "&AIndex;")
        token.Format("%d", row.index);
    else
        return FALSE;
    return TRUE;
}

}  // namespace

CString CModifyStatusDialog::BuildSerialList()
{
    CString usedTemplate;
    CString unusedTemplate;
    m_buildingList = true;
    GetExpandedText(usedTemplate, "A_N08_2_TMPL");
    GetExpandedText(unusedTemplate, "A_N08_2_TMPL_NOTUSED");
    m_buildingList = false;

    CString rows;
    const CSimpleArray<COpsSerialInfo>& serials = m_context->response.serials;
    for (int i = 0; i < serials.GetSize(); ++i) {
        const int status = serials[i].SerialStatus;
        if (status == 0)
            continue;
        // The index is the one in the whole list: the check boxes "ag<index>" address it.
        const CancelRow row = {&serials[i], i};
        rows += ExpandEntityText(status >= 2 && status <= 5 ? usedTemplate : unusedTemplate, ResolveCancelRowToken,
                                 const_cast<CancelRow*>(&row));
    }
    return rows;
}

void CModifyStatusDialog::DoPaint(HDC dc)
{
    CStatusDialog::DrawGroupFrame(m_hWnd, dc, IDC_STATIC2);
}
