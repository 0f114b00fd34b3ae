#include "CShortDialog.h"

#include "CAtlModule.h"
#include "CPageContext.h"
#include "CSystemRequirements.h"
#include "PageTexts.h"
#include "RequirementRouting.h"

namespace {

RECT ItemRect(HWND page, int id)
{
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(page, id), &rect);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool AnyNotMet(const LONG (&results)[REQ_COUNT])
{
    for (LONG result : results)
        if (result == REQ_RESULT_NOT_MET)
            return true;
    return false;
}

}  // namespace

CShortDialog::CShortDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortDialog::~CShortDialog()
{
    if (m_notice)
        ::DeleteObject(m_notice);
}

LRESULT CShortDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    // The requirement texts of the message come from the OS definition.
    LoadOsDefinitions();

    const bool error = AnyNotMet(m_context->requirementResults);
    if (error) {
        const RECT close = ItemRect(m_hWnd, ID_PAGE_CLOSE);
        const RECT next = ItemRect(m_hWnd, IDC_NEXT);
        ::ShowWindow(GetDlgItem(IDC_NEXT), SW_HIDE);
        RECT band;
        ::UnionRect(&band, &close, &next);
        const int left = band.left + ((band.right - band.left) - (next.right - next.left)) / 2;
        const int top = band.top + ((band.bottom - band.top) - (next.bottom - next.top)) / 2;
        ::SetWindowPos(GetDlgItem(ID_PAGE_CLOSE), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::SetFocus(GetDlgItem(ID_PAGE_CLOSE));
    }
    CString message;
    GetExpandedText(message, CString(error ? "ERR_" : "WARN_") + m_context->errorCode);
    if (message.IsEmpty())
        GetExpandedText(message, error ? "B_E02_2_IDC_STATIC2" : "B_E02_2_IDC_STATIC2_2");
    ::SetDlgItemTextA(m_hWnd, IDC_STATIC2, message);

    m_notice = ::LoadBitmapA(AtlGetResourceInstance(), MAKEINTRESOURCEA(error ? IDB_NOTICE_ERROR : IDB_NOTICE_WARNING));
    ::SendDlgItemMessageA(m_hWnd, IDC_IMAGE, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(m_notice));
    return error ? FALSE : result;
}

void CShortDialog::OnShortfallNext()
{
    if (CWBDialog* next = NewPageAfterCheckIn(GetParent(), m_context))
        GoToPage(next, 0);
}

LRESULT CShortDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CShortDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    OnShortfallNext();
    return 0;
}

BOOL CShortDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorCode;") {
        text = m_context->errorCode.IsEmpty() ? CString("EXG0000") : m_context->errorCode;
        return TRUE;
    }
    static const struct {
        const char* token;
        RequirementIndex index;
    } kResults[] = {
        {"&OS_CheckResult;", REQ_OS},   {"&IE_CheckResult;", REQ_IE},   {"&CPU_CheckResult;", REQ_CPU},
        {"&HDD_CheckResult;", REQ_HDD}, {"&MEM_CheckResult;", REQ_MEM},
    };
    for (const auto& result : kResults) {
        if (text == result.token) {
            text.Format("%d", int(m_context->requirementResults[result.index]));
            return TRUE;
        }
    }
    const CSystemRequirements& requirements = GetSystemRequirements();
    const struct {
        const char* token;
        const CString& value;
    } kRequirements[] = {
        {"&OS_Requirements;", requirements.GetOsRequirements()},
        {"&IE_Requirements;", requirements.GetIeRequirements()},
        {"&CPU_Requirements;", requirements.GetCpuRequirements()},
        {"&HDD_Requirements;", requirements.GetHddRequirements()},
        {"&MEM_Requirements;", requirements.GetMemRequirements()},
    };
    for (const auto& requirement : kRequirements) {
        if (text == requirement.token) {
            text = requirement.value;
            return TRUE;
        }
    }
    return CKAVODlg::ResolveEntity(text);
}

void CShortDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "B_E02_2_IDC_WEBBROWSER");
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

void CShortDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_E02_2_IDC_STATIC1"},
        {IDC_STATIC3, "B_E02_2_IDC_STATIC3"},
        {IDC_NEXT, "B_E02_2_IDC_NEXT"},
        {ID_PAGE_CLOSE, "B_E02_2_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CShortDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
