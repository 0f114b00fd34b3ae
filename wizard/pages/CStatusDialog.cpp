#include "CStatusDialog.h"

#include <mshtmhst.h>

#include "CFeeCalc.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "ContractFigures.h"
#include "Entities.h"
#include "PageContent.h"
#include "PageTexts.h"
#include <shlwapi.h>
#include "AutoFlow.h"
#include "CCheckComputerDialog.h"
#include "PageFactory.h"
#include "CA2W.h"
#include "CComVariant.h"
#include "COpsRequest.h"
#include "CErrorDialog.h"
#include "CModifyStatusDialog.h"
#include "dialogs/CChangeIDDialog.h"
#include "dialogs/CChangeMailAddressDialog.h"
#include "dialogs/CMessageDialog.h"
#include <exdisp.h>

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

void CStatusDialog::LoadBrowserContent(WORD)
{
    const COpsResponse& response = m_context->response;
    m_activeContracts = CountActiveContracts(response);
    m_liveSerials = CountLiveSerials(response);
    m_unstartedSerials = CountUnstartedSerials(response);

    const char* modeText;
    if (m_activeContracts == 0) {
        SetPageItemText(*this, IDC_AGREEMENTS, "A_N08_IDC_AGREEMENTS_1");
        SetPageItemText(*this, IDC_STATIC5, "A_N08_IDC_STATIC5_1");
        SetPageItemText(*this, IDC_STATIC6, "A_N08_IDC_STATIC6_1");
        SetPageItemText(*this, IDC_STATIC7, "A_N08_IDC_STATIC7_1");
        SetPageItemText(*this, IDC_STATIC8, "A_N08_IDC_STATIC8");
        WriteExpandedHtml("A_N08_IDC_WEBBROWSER_1");
        SetPageItemText(*this, IDC_STATIC11, "A_N08_IDC_STATIC11_1");
        ShowDlgItems(m_hWnd, SW_HIDE, IDC_STATIC8, IDC_STATUSLINE, IDC_ADD, IDC_DEL, 0);
        // The template creates the contract button disabled: it is the only way on here.
        ShowDlgItems(m_hWnd, SW_SHOW, IDC_AGREEMENTS, 0);
        EnableDlgItems(m_hWnd, TRUE, IDC_AGREEMENTS, 0);
        modeText = "新規契約";
    } else {
        const int basicFee = GetFeeCalc().GetTotalFee(m_context->customer.BasicSerialCount);
        SetPageItemText(*this, IDC_AGREEMENTS, "A_N08_IDC_AGREEMENTS_2");
        SetPageItemText(*this, IDC_STATIC5, basicFee <= 0 ? "A_N08_IDC_STATIC5_1" : "A_N08_IDC_STATIC5_2");
        SetPageItemText(*this, IDC_STATIC6, m_activeContracts == 1 ? "A_N08_IDC_STATIC6_1" : "A_N08_IDC_STATIC6_2");
        SetPageItemText(*this, IDC_STATIC7, "A_N08_IDC_STATIC7_2");
        SetPageItemText(*this, IDC_STATIC8, "A_N08_IDC_STATIC8_2");
        WriteExpandedHtml("A_N08_IDC_WEBBROWSER_2");
        SetPageItemText(*this, IDC_STATIC11, "A_N08_IDC_STATIC11_3");
        ShowDlgItems(m_hWnd, SW_SHOW, IDC_STATIC8, IDC_STATUSLINE, IDC_ADD, IDC_DEL, 0);
        ShowDlgItems(m_hWnd, SW_HIDE, IDC_AGREEMENTS, 0);
        modeText = "追加/変更";
    }
    EnableDlgItems(m_hWnd, m_unstartedSerials == 0, IDC_ADD, 0);
    EnableDlgItems(m_hWnd, m_activeContracts > 1, IDC_DEL, 0);
    // The banner draws the hidden static's text, which may just have changed.
    ::InvalidateRect(GetDlgItem(IDC_STATUSLINE), nullptr, TRUE);
    m_context->SetValue("AN08_MODE", modeText);
}

void CStatusDialog::WriteExpandedHtml(const char* key)
{
    m_expandingHtml = true;
    CString html;
    GetExpandedText(html, key);
    m_expandingHtml = false;
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

BOOL CStatusDialog::ResolveEntity(CString& text)
{
    const COpsCustomerInformation& customer = m_context->response.customerInformation;
    if (text == "&ErrorChar;") {
        text = m_errorChar;
    } else if (text == "&CustomerID;") {
        text = m_expandingHtml ? HtmlEscape(customer.VeldinCommonID) : customer.VeldinCommonID;
    } else if (text == "&CustomerName;") {
        text = m_expandingHtml ? HtmlEscape(customer.CustomerName) : customer.CustomerName;
    } else if (text == "&LicenseSerialStatus;") {
        if (m_buildingList)
            return FALSE;
        text = BuildSerialStatusList();
    } else if (text == "&VacantLicenseSerialCount;") {
        text = CountText(m_unstartedSerials);
    } else {
        const ContractFigures figures = {m_activeContracts, m_liveSerials, int(m_context->customer.BasicSerialCount)};
        if (!ResolveContractEntity(text, figures, false))
            return CKAVODlgBase::ResolveEntity(text);
    }
    return TRUE;
}

namespace {

struct SerialRow {
    const COpsSerialInfo* serial;
    const CString* actionText;  // null for a status without an action
    const char* installImage;
    const char* nicknameImage;
    const char* mailImage;
};

CString StatusText(const char* keyFormat, int status)
{
    CString key;
    key.Format(keyFormat, status);
    return CTextDef::GetText(key);
}

BOOL ResolveSerialRowToken(void* context, CString& token)
{
    const SerialRow& row = *static_cast<const SerialRow*>(context);
    const COpsSerialInfo& serial = *row.serial;
    const int status = serial.SerialStatus;
    // Only a serial being installed or in use has a nickname and mail address to change.
    const bool changeable = status >= 2 && status <= 4;
    if (token == "&SerialID;")
        token = serial.SerialID;
    else if (token == "&NickName;")
        token = HtmlEscape(serial.NickName);
    else if (token == "&MailAddress;")
        token = HtmlEscape(serial.MailAddressSN);
    else if (token == "&SerialStatusText;")
        token = StatusText("A_N08_SERIALSTATUS_%d", status);
    else if (token == "&SerialStatusColor;")
        token = StatusText("A_N08_SERIALSTATUSCOLOR_%d", status);
    else if (token == "&ChNicknameDisabled;" || token == "&ChMailaddrDisabled;")
        token = changeable ? "" : "disabled";
    else if (token == "&ChNicknameFilter;" || token == "&ChMailaddrFilter;")
        token = changeable ? "" : "Filter:Gray();";
    else if (token == "&ActionDisabled;")
        token = row.actionText && status != 0 && status != 5 ? "" : "disabled";
    else if (!row.actionText)
        return FALSE;
    else if (token == "&SerialStatusActionText;")
        token = *row.actionText;
    else if (token == "&INSPATH;")
        token = row.installImage;
    else if (token == "&NICKPATH;")
        token = row.nicknameImage;
    else if (token == "&MAILPATH;")
        token = row.mailImage;
    else
        return FALSE;
    return TRUE;
}

}  // namespace

CString CStatusDialog::BuildSerialStatusList()
{
    static const struct {
        const char* actionKey;
        const char* installImage;
        const char* nicknameImage;
        const char* mailImage;
    } kByStatus[] = {
        {"A_N08_SERIALACTION_0", "noinst.png", "nonickname.png", "nomailadd.png"},
        {"A_N08_SERIALACTION_1", "inst.png", "nonickname.png", "nomailadd.png"},
        {"A_N08_SERIALACTION_1", "inst.png", "nickname.png", "mailadd.png"},
        {"A_N08_SERIALACTION_2", "reinst.png", "nickname.png", "mailadd.png"},
        {"A_N08_SERIALACTION_2", "reinst.png", "nickname.png", "mailadd.png"},
        {"A_N08_SERIALACTION_0", "noinst.png", "nonickname.png", "nomailadd.png"},
    };
    const int kStatusCount = int(sizeof kByStatus / sizeof kByStatus[0]);

    CString rowTemplate;
    m_buildingList = true;
    GetExpandedText(rowTemplate, "A_N08_TMPL_SERIAL");
    CString actionTexts[kStatusCount];
    for (int i = 0; i < kStatusCount; ++i)
        GetExpandedText(actionTexts[i], kByStatus[i].actionKey);
    m_buildingList = false;

    CString rows;
    const CSimpleArray<COpsSerialInfo>& serials = m_context->response.serials;
    for (int i = 0; i < serials.GetSize(); ++i) {
        const int status = serials[i].SerialStatus;
        SerialRow row = {&serials[i], nullptr, nullptr, nullptr, nullptr};
        if (status >= 0 && status < kStatusCount) {
            row.actionText = &actionTexts[status];
            row.installImage = kByStatus[status].installImage;
            row.nicknameImage = kByStatus[status].nicknameImage;
            row.mailImage = kByStatus[status].mailImage;
        }
        rows += ExpandEntityText(rowTemplate, ResolveSerialRowToken, &row);
    }
    return rows;
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

void CStatusDialog::DoPaint(HDC dc)
{
    DrawGroupFrame(m_hWnd, dc, IDC_STATIC2);
    DrawGroupFrame(m_hWnd, dc, IDC_GROUPBOX);
}

void CStatusDialog::DrawGroupFrame(HWND page, HDC dc, int id)
{
    const HWND control = ::GetDlgItem(page, id);
    if (!control)
        return;
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    // The frame's line runs through the middle of its caption, not along its top.
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(dc, &metrics);
    rect.top += metrics.tmAscent / 2 - 2;
    const HBRUSH brush = ::CreateSolidBrush(RGB(245, 242, 173));
    const HPEN pen = ::CreatePen(PS_NULL, 0, 0);
    const HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    const HGDIOBJ oldPen = ::SelectObject(dc, pen);
    ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 3, 3);
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
}

// ---- message map and handlers

LRESULT CStatusDialog::OnDrawItem(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (wParam != IDC_STATUSLINE || !item) {
        handled = FALSE;
        return 0;
    }
    const HDC dc = item->hDC;
    RECT rect = item->rcItem;
    if (m_bannerBrush)
        ::FillRect(dc, &rect, m_bannerBrush);
    ::SetBkMode(dc, TRANSPARENT);
    const int kIconSize = 16;
    if (m_bannerIcon)
        ::DrawIconEx(dc, rect.left + 2, rect.top + (rect.bottom - rect.top - kIconSize) / 2, m_bannerIcon, kIconSize,
                     kIconSize, 0, nullptr, DI_NORMAL);
    char text[512] = {};
    ::GetDlgItemTextA(m_hWnd, IDC_STATIC11, text, sizeof text);
    rect.left += 20;
    ::DrawTextA(dc, text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    return TRUE;
}

LRESULT CStatusDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
    m_context->customer.installationInProgress = 0;
    m_bannerBrush.Attach(::CreateSolidBrush(RGB(255, 204, 153)));
    m_paleBrush.Attach(::CreateSolidBrush(RGB(245, 242, 173)));
    m_bannerIcon = static_cast<HICON>(
        ::LoadImageA(AtlGetResourceInstance(), MAKEINTRESOURCEA(IDI_BANNER), IMAGE_ICON, 16, 16, LR_SHARED));
    return result;
}

LRESULT CStatusDialog::OnContractCommand(WORD, WORD, HWND, BOOL&)
{
    OnContract();
    return 0;
}

LRESULT CStatusDialog::OnRefreshCommand(WORD, WORD, HWND, BOOL&)
{
    OnRefresh();
    return 0;
}

LRESULT CStatusDialog::OnTermsCommand(WORD, WORD, HWND, BOOL&)
{
    if (!m_browser)
        return 0;
    CString url;
    GetExpandedText(url, "COMMON_URL_TERMSOFUSE");
    // A new window is asked for so that the page's new-window handler hands the address
    // to the user's default browser.
    CComVariant address(CA2W(url.GetString()));
    CComVariant flags{long(navOpenInNewWindow)};
    CComVariant empty;
    m_browser->Navigate2(&address, &flags, &empty, &empty, &empty);
    return 0;
}

LRESULT CStatusDialog::OnAddCommand(WORD, WORD, HWND, BOOL&)
{
    m_context->SetValue("AN08_ORDER", "追加契約");
    m_context->phase = "Lpcsif";
    SendPing("TRACE_URI_A_N08_0");
    GoToPage(NewPageIn<CCheckComputerDialog>(GetParent(), m_context), 0);
    return 0;
}

LRESULT CStatusDialog::OnModifyCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(NewPageIn<CModifyStatusDialog>(GetParent(), m_context), 0);
    return 0;
}

LRESULT CStatusDialog::OnCtlColor(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    if (id >= IDC_STATIC3 && id <= IDC_STATIC6) {
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(m_paleBrush.Get());
    }
    if (id == IDC_ADD || id == IDC_AGREEMENTS || id == IDC_DEL)
        return reinterpret_cast<LRESULT>(m_paleBrush.Get());
    handled = FALSE;
    return 0;
}

LRESULT CStatusDialog::OnPageCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam < 1 || wParam > 3) {
        handled = FALSE;
        return 0;
    }
    OnSubAction(wParam);
    return 0;
}

void CStatusDialog::OnContract()
{
    const CString mode = m_context->GetValue("AN08_MODE");
    m_context->SetValue("AN08_ORDER", mode);
    COpsCustomerData& customer = m_context->customer;
    customer.NickName.Empty();
    customer.SerialID.Empty();
    customer.installationInProgress = 0;
    if (mode == "新規契約") {
        m_context->phase = "Lpcsif";
        GoToPage(NewPageIn<CCheckComputerDialog>(GetParent(), m_context), 0);
    } else if (mode == "変更" || mode == "追加/変更") {
        GoToPage(NewPageIn<CModifyStatusDialog>(GetParent(), m_context), 0);
    }
}

void CStatusDialog::OnRefresh()
{
    COpsRequest refresh;
    if (refresh.Run("1002", m_context, TRUE) != 0) {
        MoveToErrorPage();
        return;
    }
    LoadBrowserContent(IDC_WEBBROWSER);
}

void CStatusDialog::MoveToErrorPage()
{
    GoToPage(NewPageIn<CErrorDialog>(GetParent(), m_context), 0);
}

template <typename Dialog>
void CStatusDialog::ChangeCustomerField(CString COpsCustomerData::*field, const char* requestId)
{
    const CString kept = m_context->customer.*field;
    Dialog dialog(m_context);
    if (dialog.DoModal(::GetActiveWindow()) != IDOK) {
        m_context->customer.*field = kept;
        return;
    }
    COpsRequest change;
    if (change.Run(requestId, m_context, TRUE) != 0) {
        MoveToErrorPage();
        return;
    }
    OnRefresh();
}

void CStatusDialog::OnSubAction(WPARAM action)
{
    switch (action) {
    case 1:
        GoToPage(NewPageIn<CCheckComputerDialog>(GetParent(), m_context), 0);
        break;
    case 2:
        ChangeCustomerField<CChangeIDDialog>(&COpsCustomerData::NickName, "1007");
        break;
    case 3:
        ChangeCustomerField<CChangeMailAddressDialog>(&COpsCustomerData::MailAddressSN, "1010");
        break;
    default:
        break;
    }
}

// ---- form commands

namespace {

// An absent field reads as empty.
CString FieldOf(const FormCommandParams& params, const char* name)
{
    CString value;
    params.Lookup(CString(name), value);
    return value;
}

}  // namespace

void __stdcall CStatusDialog::BeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                              VARIANT_BOOL* cancel)
{
    // The first navigation, to the blank document the content is written into, goes through.
    if (!m_mainDocumentLoaded)
        return;
    if (cancel)
        *cancel = VARIANT_TRUE;
    CString address;
    if (url && url->vt == VT_BSTR)
        address = static_cast<const char*>(CW2A(url->bstrVal));
    FormCommandParams params;
    ParseFormQuery(address, params);
    OnFormCommand(params);
}

void CStatusDialog::OnFormCommand(const FormCommandParams& params)
{
    const CString command = FieldOf(params, "cmd");
    COpsCustomerData& customer = m_context->customer;
    WPARAM action = 0;
    if (command == "インストール開始" || command == "再インストール") {
        customer.SecurityID = FieldOf(params, "SecurityID");
        customer.NickName = FieldOf(params, "NickName");
        customer.MailAddressSN = FieldOf(params, "MailAddress");
        customer.SerialID = FieldOf(params, "SerialID");
        const int status = m_context->GetSerialStatus(customer.SerialID);
        customer.installationInProgress = status == 2 || status == 4;
        if (command == "インストール開始") {
            m_context->SetValue("AN08_ORDER", "インストール");
            if (status != 1) {
                CString text, caption;
                GetExpandedText(text, "A_N08_MSG_CONFIRM_INSTALL");
                GetExpandedText(caption, "A_N08_TTL_CONFIRM_INSTALL");
                if (::MessageBoxA(m_hWnd, text, caption, MB_ICONWARNING | MB_YESNO) != IDYES)
                    return;
            }
            m_context->phase = "Lpcif";
        } else {
            m_context->SetValue("AN08_ORDER", "再インストール");
            CMessageDialog question(CTextDef::GetText("MSGDLG_MBK04_MESSAGE"), CTextDef::GetText("MSGDLG_MBK04_TITLE"));
            question.SetFirstButtonText(CTextDef::GetText("MSGDLG_MBK04_BTN1_YES"));
            question.SetSecondButtonText(CTextDef::GetText("MSGDLG_MBK04_BTN2_NO"));
            if (question.DoModal(::GetActiveWindow()) != 1)
                return;
            m_context->phase = customer.installationInProgress ? "Lpcrf" : "Lpcarf";
        }
        action = 1;
    } else if (command == "ニックネーム変更") {
        customer.SerialID = FieldOf(params, "SerialID");
        m_context->SetValue("AN08_ORDER", "ニックネーム変更");
        action = 2;
    } else if (command == "メールアドレス変更") {
        customer.SerialID = FieldOf(params, "SerialID");
        m_context->SetValue("AN08_ORDER", "メールアドレス変更");
        action = 3;
    }
    if (action)
        PostMessage(WM_KAVO_PAGE, action, 0);
}
