#include "CStatusDialog.h"

#include <mshtmhst.h>
#include <shlwapi.h>

#include "AutoFlow.h"
#include "CCheckComputerDialog.h"
#include "CFeeCalc.h"
#include "CPageContext.h"
#include "PageFactory.h"
#include "PageTexts.h"

CStatusDialog::CStatusDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CStatusDialog::~CStatusDialog() = default;

DWORD CStatusDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CStatusDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "A_N08_IDC_STATIC1"},
        {IDC_STATIC2, "A_N08_IDC_STATIC2"},
        {IDC_STATIC3, "A_N08_IDC_STATIC3"},
        {IDC_STATIC4, "A_N08_IDC_STATIC4"},
        {IDC_STATIC5, "A_N08_IDC_STATIC5_1"},
        {IDC_STATIC6, "A_N08_IDC_STATIC6_1"},
        {IDC_STATIC7, "A_N08_IDC_STATIC7"},
        {IDC_ADD, "A_N08_IDC_ADD"},
        {IDC_DEL, "A_N08_IDC_DEL"},
        {IDC_SHOWEULA, "A_N08_IDC_SHOWEULA"},
        {IDC_REFRESH, "A_N08_IDC_REFRESH"},
    };
    SetPageTexts(*this, kTexts);
}

void CStatusDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATUSLINE, "9pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

namespace {

// A contract that is in service, with every licence it holds listed and none of them
// installed yet.
bool AwaitsAutomaticInstallation(const CPageContext& context)
{
    const CSimpleArray<COpsAgreement>& agreements = context.response.agreements;
    const CSimpleArray<COpsSerialInfo>& serials = context.response.serials;
    if (agreements.GetSize() == 0 || StrToIntA(agreements[0].SecurityStatus) != 2)
        return false;
    // Without a serial there is nothing to install: the installation would start with none.
    if (serials.GetSize() == 0 || serials.GetSize() != context.customer.BasicSerialCount)
        return false;
    for (int i = 0; i < serials.GetSize(); ++i)
        if (serials[i].SerialStatus != 1)
            return false;
    return true;
}

}  // namespace

CWBDialog* CStatusDialog::ResolvePage(HWND frame, CPageContext* context)
{
    // The page shows the fees: without the table it cannot be shown at all.
    CFeeCalc& fees = GetFeeCalc();
    FeeCalcReadyState state = fees.GetReadyState(nullptr);
    if (state == FEECALC_NOT_LOADED) {
        CString url;
        GetExpandedText(url, "COMMON_URI_FEETABLE");
        state = fees.StartLoad(url, FALSE);
    }
    if (state != FEECALC_READY)
        return CreatePageWindow(CreateErrorPage("EXG4001", context), frame, context);

    // The installation starts by itself once per flow; after that the customer decides here.
    if (!IsAutomatic(context) || !context->GetValue("AN08_AUTOINSTALL_EXECUTED").IsEmpty())
        return this;
    context->SetValue("AN08_AUTOINSTALL_EXECUTED", "TRUE");
    if (!AwaitsAutomaticInstallation(*context))
        return this;
    COpsCustomerData& customer = context->customer;
    customer.NickName.Empty();
    customer.SecurityID.Empty();
    customer.MailAddressSN.Empty();
    customer.SerialID = context->GetFirstSerialAwaitingInstall();
    context->SetValue("AN08_ORDER", "インストール");
    context->phase = "Lpcif";
    return NewPageIn<CCheckComputerDialog>(frame, context);
}
