#include "CModifyStatusDialog.h"

#include <mshtml.h>
#include <mshtmhst.h>

#include <new>

#include "CComVariant.h"
#include "CFeeCalc.h"
#include "CTextDef.h"
#include "CPageContext.h"
#include "ContractFigures.h"
#include "Entities.h"
#include "FormatDateText.h"
#include "PageContent.h"
#include "PageTexts.h"
#include "ContractListPage.h"
#include "PageFactory.h"
#include "pages/CErrorDialog.h"
#include "pages/CPreCancelDialog.h"
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

namespace {

const UINT_PTR kSelectionTimer = 0;
const UINT kSelectionDelayMs = 200;
const COLORREF kStaticBrushColour = RGB(245, 242, 173);
const COLORREF kNoteColour = RGB(0, 0, 255);

// The input element named name in the document's collection; null when there is none.
CComPtr<IHTMLInputElement> FindInput(IHTMLElementCollection* all, const char* name)
{
    CComPtr<IHTMLInputElement> input;
    wchar_t wide[32] = {};
    ::MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 32);
    CComVariant key(wide);
    CComVariant first(0);
    CComPtr<IDispatch> item;
    if (SUCCEEDED(all->item(key, first, &item)) && item)
        item->QueryInterface(IID_IHTMLInputElement, reinterpret_cast<void**>(&input));
    return input;
}

bool IsChecked(IHTMLInputElement* input)
{
    VARIANT_BOOL checked = VARIANT_FALSE;
    return SUCCEEDED(input->get_checked(&checked)) && checked != VARIANT_FALSE;
}

VARIANT_BOOL AsVariantBool(bool value)
{
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

LRESULT CModifyStatusDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    if (m_context->GetValue("AN08_ORDER") == "追加契約")
        SetCurrentStep("P");
    m_brush.Attach(::CreateSolidBrush(kStaticBrushColour));
    return result;
}

void __stdcall CModifyStatusDialog::CommandStateChange(long, VARIANT_BOOL)
{
    ::KillTimer(m_hWnd, kSelectionTimer);
    ::SetTimer(m_hWnd, kSelectionTimer, kSelectionDelayMs, nullptr);
}

bool CModifyStatusDialog::MayCancelSelection() const
{
    const int serials = m_context->response.serials.GetSize();
    const int selected = m_selected.GetSize();
    return selected > 0 && (selected == serials || serials - selected >= m_context->customer.BasicSerialCount);
}

void CModifyStatusDialog::OnSelectionTimer()
{
    ::KillTimer(m_hWnd, kSelectionTimer);
    CComPtr<IHTMLDocument2> document;
    CComPtr<IHTMLElementCollection> all;
    if (!GetHtmlDocument(m_browser, &document) || FAILED(document->get_all(&all)) || !all)
        return;

    const CComPtr<IHTMLInputElement> allBox = FindInput(all, "ag_all");
    const bool allChecked = allBox && IsChecked(allBox);
    const CSimpleArray<COpsSerialInfo>& serials = m_context->response.serials;
    const int count = serials.GetSize();
    const LONG basicCount = m_context->customer.BasicSerialCount;

    m_selected.RemoveAll();
    CSimpleArray<CComPtr<IHTMLInputElement>> boxes;
    for (int i = 0; i < count; ++i) {
        CString name;
        name.Format("ag%d", i);
        CComPtr<IHTMLInputElement> box = FindInput(all, name);
        boxes.Add(box);
        if (!box)
            continue;
        box->put_disabled(AsVariantBool(allChecked || basicCount == count));
        if (!m_allFlag && allChecked) {
            box->put_checked(VARIANT_TRUE);
            m_selected.Add(serials[i].SerialID);
        } else if (m_allFlag && !allChecked) {
            box->put_checked(VARIANT_FALSE);
        } else if (IsChecked(box)) {
            m_selected.Add(serials[i].SerialID);
        }
    }

    if (!allBox) {
        const bool roomLeft = count - m_selected.GetSize() > basicCount;
        for (int i = 0; i < boxes.GetSize(); ++i)
            if (boxes[i])
                boxes[i]->put_disabled(AsVariantBool(!roomLeft && !IsChecked(boxes[i])));
    }

    // Only the customer's own "ag_all" makes the choice every serial: ticking each box by
    // hand stays a cancellation of those serials.
    m_allFlag = allChecked;
    EnableDlgItems(m_hWnd, MayCancelSelection(), IDC_DEL, 0);
}

void CModifyStatusDialog::OnCancelSerials()
{
    if (!MayCancelSelection()) {
        CString text;
        CString caption;
        GetExpandedText(text, "A_E08_2_MESSAGE");
        GetExpandedText(caption, "COMMON_TITLE");
        MessageBox(text, caption, MB_ICONWARNING);
        return;
    }
    CString joined;
    for (int i = 0; i < m_selected.GetSize(); ++i) {
        if (i > 0)
            joined += ",";
        joined += m_selected[i];
    }
    m_context->SetValue("CANCEL_SERIALS", joined);
    m_context->SetValue("AN08_ORDER", m_allFlag ? "全解約" : "解約");
    m_context->phase = "Lpdt";
    GoToPage(CreatePageWindow(new (std::nothrow) CPreCancelDialog, GetParent(), m_context), 0);
}

void CModifyStatusDialog::OnBack()
{
    GoToPage(NewContractListPage(GetParent(), m_context), 0);
}

LRESULT CModifyStatusDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CModifyStatusDialog::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    const HDC dc = reinterpret_cast<HDC>(wParam);
    if (id == IDC_STATIC10) {
        ::SetTextColor(dc, kNoteColour);
    } else if (id < IDC_STATIC3 || id > IDC_STATIC6) {
        bHandled = FALSE;
        return 0;
    }
    ::SetBkMode(dc, TRANSPARENT);
    return LRESULT(m_brush.Get());
}

LRESULT CModifyStatusDialog::OnTimerMessage(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam != kSelectionTimer) {
        bHandled = FALSE;
        return 0;
    }
    OnSelectionTimer();
    return 0;
}

LRESULT CModifyStatusDialog::OnCancelCommand(WORD, WORD, HWND, BOOL&)
{
    OnCancelSerials();
    return 0;
}

LRESULT CModifyStatusDialog::OnBackCommand(WORD, WORD, HWND, BOOL&)
{
    OnBack();
    return 0;
}
